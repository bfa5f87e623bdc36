#pragma once
// A container for step-by-step dialogs: an ordered list of pages of which
// one is shown, and a button bar with Help, Back, Next (Finish on the last
// included page) and Cancel. Each page's OnDoneQuery decides whether Next
// is enabled; Finish and Cancel are reported, the dialog closes itself
// (Cancel also rejects a QDialog that holds the wizard).

#include <QList>
#include <algorithm>
#include <QPushButton>
#include <QString>
#include <QWidget>

class TEPWizardPage;
class TEPWizardPanel;

class TEPWizard : public QWidget {
    Q_OBJECT
    Q_PROPERTY(TEPWizardButtons buttons READ buttons WRITE setButtons)
    Q_PROPERTY(QString firstPage READ firstPage WRITE setFirstPage)

public:
    enum TEPWizardButton { epwbHelp = 1, epwbCancel = 2 };
    Q_DECLARE_FLAGS(TEPWizardButtons, TEPWizardButton)
    Q_FLAG(TEPWizardButtons)

    explicit TEPWizard(QWidget* parent = nullptr);
    ~TEPWizard() override;

    TEPWizardPage* ActivePage() const { return activePage_; }
    // Runs the page change; a page of another wizard is ignored.
    void setActivePage(TEPWizardPage* page);
    // The page that becomes active when the form has been built (the
    // wizard's first showing), by object name; it wins over pages joining.
    QString firstPage() const { return firstPageName_; }
    void setFirstPage(const QString& name);

    TEPWizardButtons buttons() const { return buttons_; }
    void setButtons(TEPWizardButtons buttons);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    TEPWizardPage* Pages(int index) const { return pages_.value(index); }

    TEPWizardPage* FindPage(TEPWizardPage* page, bool goForward, bool includedOnly) const;
    void SelectNextPage(bool goForward);
    void UpdateButtons();
    void UpdateNextButton();
    // True while the active page is asked because Next was pressed, not
    // re-evaluated: a page may say then why it cannot be left.
    bool AskedByNext() const { return askedByNext_; }

    void NextClick();
    void BackClick();
    void HelpClick();

    QPushButton* HelpButton() const { return help_; }
    QPushButton* BackButton() const { return back_; }
    QPushButton* NextButton() const { return next_; }
    QPushButton* CancelButton() const { return cancel_; }
    TEPWizardPanel* Panel() const { return panel_; }

    // The button captions.
    static QString HelpCaption() { return QStringLiteral("&Help"); }
    static QString BackCaption() { return QStringLiteral("< &Back"); }
    static QString NextCaption() { return QStringLiteral("Next >"); }
    static QString FinishCaption() { return QStringLiteral("&Finish"); }
    static QString CancelCaption() { return QStringLiteral("Cancel"); }

signals:
    void OnChanging();
    void OnChange();
    void OnFinishClick();
    void OnCancelClick();
    // Help pressed: the help context (the "helpContext" property) of the
    // active page or its nearest parent that has one.
    void OnHelp(int helpContext);

protected:
    virtual void Changing() { emit OnChanging(); }
    virtual void Change() { emit OnChange(); }
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class TEPWizardPage;

    // Until the wizard is first shown its form is being built: pages join
    // without becoming active.
    bool loading() const { return !loaded_; }
    void FinishLoading();
    void Join(TEPWizardPage* page);
    void Leave(TEPWizardPage* page, bool pageDying);
    void MovePage(TEPWizardPage* page, int index);
    void PageIncludeChanged(TEPWizardPage* page);
    void CancelClick();
    void layoutChildren();
    void applyButtons();
    QPushButton* addButton(const QString& caption, int tag);

    QList<TEPWizardPage*> pages_;
    TEPWizardPage* activePage_ = nullptr;
    QString firstPageName_;
    TEPWizardButtons buttons_;
    TEPWizardPanel* panel_;
    QPushButton* cancel_;
    QPushButton* next_;
    QPushButton* back_;
    QPushButton* help_;
    bool loaded_ = false;
    bool destroying_ = false;
    bool askingDone_ = false;
    bool askedByNext_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TEPWizard::TEPWizardButtons)
