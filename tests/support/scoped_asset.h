#pragma once
// A file shipped beside the running test program for one test, as sounds
// and pictures are shipped beside the programs; removed when the object
// goes. Its name is made unique to the test process, so parallel tests do
// not meet.

#include <string>

namespace test_support {

class ScopedAsset {
public:
    // stem + "-" + process id + the extension of `name`.
    ScopedAsset(const std::string& name, const std::string& bytes);
    ~ScopedAsset();
    ScopedAsset(const ScopedAsset&) = delete;
    ScopedAsset& operator=(const ScopedAsset&) = delete;

    const std::string& name() const { return name_; }
    const std::string& path() const { return path_; }

private:
    std::string name_;
    std::string path_;
};

}  // namespace test_support
