#pragma once
// One step of a wizard: a page that fills the wizard above its button bar,
// can be left out of the Back/Next walk (Include), and answers whether the
// user may go on (OnDoneQuery).

#include <QPointer>
#include <QWidget>

#include <functional>

class TEPWizard;

class TEPWizardPage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool include READ include WRITE setInclude)
    Q_PROPERTY(int pageIndex READ pageIndex WRITE setPageIndex STORED false)

public:
    // Done arrives true; the handler clears it when the page is incomplete.
    using DoneQueryHandler = std::function<void(TEPWizardPage* sender, bool& done)>;

    // A page created inside a wizard joins it.
    explicit TEPWizardPage(QWidget* parent = nullptr);
    ~TEPWizardPage() override;

    TEPWizard* wizard() const { return wizard_; }
    // Leaves the old wizard and joins the new one (either may be null).
    void setWizard(TEPWizard* wizard);

    bool include() const { return include_; }
    void setInclude(bool include);
    // Position in the wizard's list, -1 outside a wizard.
    int pageIndex() const;
    void setPageIndex(int index);

    void setOnDoneQuery(DoneQueryHandler handler) { onDoneQuery_ = std::move(handler); }
    virtual bool DoneQuery();

signals:
    // The page became visible / was hidden by a page change. Closing or
    // destroying the window sends no OnHide: Qt hides a dialog's children
    // from inside its destructor, when the handlers' owner is gone.
    void OnShow();
    void OnHide();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TEPWizard;

    QPointer<TEPWizard> wizard_;
    bool include_ = true;
    bool showing_ = false;
    DoneQueryHandler onDoneQuery_;
};
