// PropertySheet: the tabbed property dialogs of report objects.
//
// A sheet shows its pages as tabs under the caller's title, with OK and
// Cancel (no Apply). A page is set up (OnInitDialog, then its data shown)
// when it is first shown; leaving it, by another tab or by OK, first saves
// and checks its data (OnKillActive), and a page that refuses keeps the
// sheet where it is. OK then gives every page that was set up its OnOK.
// Tabs can be taken out and put back while the sheet runs (the page stays
// the caller's).
//
// Pages belong to the caller (typically on its stack beside the sheet): the
// sheet never deletes them.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include <vector>

class DocumentEnvironment;
class PropertySheet;
class QTabWidget;

class PropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit PropertyPage(const QString& caption, QWidget* parent = nullptr);

    const QString& Caption() const { return m_caption; }
    PropertySheet* Sheet() const { return m_sheet; }
    bool IsInitialised() const { return m_initialised; }

    // Sets the page up once (OnInitDialog and the data shown).
    void EnsureInitialised();

    // Controls by numeric id, as dialogs carry them.
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* GetDlgItemAs(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }
    static void SetControlId(QWidget* control, int id);

    // Controls to members (save) or back; false when a value is refused.
    virtual bool DoDataExchange(bool save)
    {
        (void)save;
        return true;
    }
    virtual void OnInitDialog() { DoDataExchange(false); }
    // Leaving the page: false keeps it shown.
    virtual bool OnKillActive() { return DoDataExchange(true); }
    // OK of the sheet, after every page agreed to be left.
    virtual void OnOK() {}

private:
    friend class PropertySheet;
    QString m_caption;
    PropertySheet* m_sheet = nullptr;
    bool m_initialised = false;
};

class PropertySheet : public QDialog {
    Q_OBJECT
public:
    explicit PropertySheet(const QString& title, QWidget* parent = nullptr);
    ~PropertySheet() override;

    // Appends a page (its tab shows its caption).
    void AddPage(PropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    PropertyPage* GetPage(int index) const;

    // The tabs shown.
    QTabWidget* GetTabControl() const { return m_tabs; }
    int GetTabCount() const;
    // Takes tab index out (its page is kept, no longer shown or applied).
    void RemoveTab(int index);
    // Shows page again as tab index, with text.
    void InsertTab(int index, PropertyPage* page, const QString& text);
    // The page of the current tab, or null.
    PropertyPage* GetActivePage() const;
    // Shows page's tab; false when the current page refuses to be left.
    bool SetActivePage(PropertyPage* page);

    // Runs the sheet through the program's dialog runner; true on OK.
    bool DoModal(DocumentEnvironment& env);
    // The OK and Cancel buttons, as a click would press them.
    void PressOk();
    void PressCancel();

protected:
    void showEvent(QShowEvent* e) override;
    void accept() override;

private:
    void OnCurrentChanged(int index);
    void Watch(PropertyPage* page);

    QTabWidget* m_tabs = nullptr;
    std::vector<PropertyPage*> m_pages;
    int m_current = -1;
    bool m_switching = false;
};
