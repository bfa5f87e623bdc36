#pragma once
// One mail address (display name and address) and an owned, ordered list of
// them, with the routines that read an address from header text.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TmsMailAddress {
public:
    TmsMailAddress() = default;
    TmsMailAddress(std::string_view address, std::string_view name);

    const std::string& Name() const { return name_; }
    const std::string& Address() const { return address_; }
    void SetName(std::string_view name);        // cut at 255
    void SetAddress(std::string_view address);  // cut at 255

    void Assign(const TmsMailAddress& source);
    void Clear();

    // Shows the address dialog filled with this address; when it closes with
    // OK the edited name and address replace these. False when cancelled, or
    // in a program without windows, where no dialog is installed.
    bool Edit();
    // The program with windows installs its address dialog here: handed a
    // copy to edit, it returns true when closed with OK. The mail library
    // itself shows nothing.
    using Editor = std::function<bool(TmsMailAddress& edited)>;
    static void SetEditor(Editor editor);

private:
    std::string name_;
    std::string address_;
};

class TmsAddressList {
public:
    TmsAddressList() = default;
    TmsAddressList(const TmsAddressList& other) { Assign(other); }
    TmsAddressList& operator=(const TmsAddressList& other);

    TmsMailAddress& Items(int index);
    const TmsMailAddress& Items(int index) const;
    int Count() const { return static_cast<int>(items_.size()); }

    void Add(std::unique_ptr<TmsMailAddress> address);
    // Note the order: address first, then the display name.
    TmsMailAddress& AddAddress(std::string_view address, std::string_view name);
    void Clear() { items_.clear(); }
    void Assign(const TmsAddressList& source);

private:
    std::vector<std::unique_ptr<TmsMailAddress>> items_;
};

// Reads "Name <addr>", "addr (Name)" or a bare address into `address`.
// Throws std::runtime_error "Unable to parse email address" when a "<" has
// no ">" after it.
void TextToMailAddress(std::string_view text, TmsMailAddress& address);

// The same reading, giving (address, name).
std::pair<std::string, std::string> ParseMailAddress(std::string_view text);

namespace mail {

// The reading the mail reader uses on header values: as TextToMailAddress,
// but a "<" without ">" takes the rest of the text as the address instead of
// failing, so one malformed header never makes a message unreadable.
void textToMailAddressLenient(std::string_view text, TmsMailAddress& address);

// A display name as it goes into a header: quoted (with \" and \\ escaped)
// when it holds characters that would split or end the address.
std::string quoteDisplayName(std::string_view name);

}  // namespace mail
