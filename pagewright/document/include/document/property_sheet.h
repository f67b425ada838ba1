// PropertySheet and PropertyPage: the tabbed, modal settings sheets of the
// report objects.
//
// A page is a panel of controls that carry their numeric ids (GetDlgItem).
// Its values live in the page's own members and travel to and from the
// controls in DoDataExchange, with the range checks of the data exchange
// (DataExchange): the owner fills the members before the sheet runs and
// reads them after OK. A page is initialised (members to controls) the first
// time it becomes active; pages never shown keep their members as filled.
//
// Leaving a page runs its OnKillActive (the values are taken from the
// controls and checked); a refused value keeps the page. OK runs the active
// page's OnKillActive, then OnOK of every page that was initialised; Cancel
// runs their OnCancel. The sheet has OK and Cancel, no Apply button. It runs
// through DocumentEnvironment::RunDialog, so tests answer it.
//
// Pages are registered by class name for dynamic creation
// (RegisterPropertyPageClass, CreatePropertyPage).
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

class DocumentEnvironment;
class PropertyPage;
class QStackedWidget;
class QTabBar;

// One pass of data exchange over a page's controls. Saving, a control whose
// text does not read as the member's type, or a value outside its range,
// shows the standard message, puts the focus on the control and fails the
// pass; every later step of a failed pass does nothing.
class DataExchange {
public:
    DataExchange(PropertyPage& page, bool save) : m_page(page), m_save(save) {}

    bool Saving() const { return m_save; }
    bool Failed() const { return m_failed; }

    // Edit texts. Floats show with six significant digits.
    void Text(int id, float& value);
    void Text(int id, int& value);
    // maxChars > 0 limits the edit (and the value read).
    void Text(int id, QString& value, int maxChars = 0);
    // Check boxes (0 or 1).
    void Check(int id, int& value);
    // A combo's text (editable or not): loading selects the entry with that
    // text, or shows the text when no entry has it.
    void ComboText(int id, QString& value);
    // A combo's selection index (-1 none).
    void ComboIndex(int id, int& value);

    // Range checks of the value just exchanged (saving only).
    void MinMax(float value, float min, float max);
    void MinMax(int value, int min, int max);

    // A float as the edits show it: six significant digits.
    static QString FloatText(double value);

    // Fails the pass with a message (a page's own checks).
    void Fail(const QString& message, int stringId = 0, int type = 0x30);

private:
    QWidget* Control(int id);

    PropertyPage& m_page;
    bool m_save;
    bool m_failed = false;
    int m_lastId = 0;
};

class PropertyPage : public QWidget {
public:
    PropertyPage(int templateId, const QString& caption, QWidget* parent = nullptr);

    int GetTemplateId() const { return m_templateId; }
    QString Caption() const { return m_caption; }

    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* GetDlgItemAs(int id) const
    {
        return qobject_cast<T*>(GetDlgItem(id));
    }

    // The environment of messages (the sheet's; the headless one before).
    DocumentEnvironment& Environment() const;
    void SetEnvironment(DocumentEnvironment* env) { m_env = env; }

    bool IsInitialized() const { return m_initialized; }
    // save = false: members to controls; true: controls to members, checked.
    bool UpdateData(bool save);

    // The page becomes active: initialised the first time.
    virtual bool OnSetActive();
    // The page is left (or OK pressed while it is active): false keeps it.
    virtual bool OnKillActive();
    // OK and Cancel of the sheet, for initialised pages.
    virtual void OnOK() {}
    virtual void OnCancel() {}

    // Gives a control its id.
    static void SetControlId(QWidget* control, int id);

protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx) = 0;

private:
    int m_templateId;
    QString m_caption;
    DocumentEnvironment* m_env = nullptr;
    bool m_initialized = false;
};

class PropertySheet : public QDialog {
public:
    // Button ids of OK and Cancel.
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 2;

    PropertySheet(DocumentEnvironment& env, const QString& title, QWidget* parent = nullptr);
    ~PropertySheet() override;

    // Adds a page at the end; the sheet owns it from then on.
    PropertyPage* AddPage(PropertyPage* page);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    PropertyPage* GetPage(int i) const;
    int GetActiveIndex() const { return m_active; }
    PropertyPage* GetActivePage() const { return GetPage(m_active); }
    // Makes page i active: the page left runs OnKillActive first; false (the
    // page stays) when it refused or i is no page.
    bool SetActivePage(int i);
    bool HasApplyButton() const { return false; }

    // Tabs taken out and put back while the sheet runs (a table cell's
    // field page follows the cell's kind). A page taken out stays the
    // sheet's but is neither shown nor applied; tab indexes are page indexes
    // of the pages shown.
    int GetTabCount() const;
    QString GetTabText(int i) const;
    void RemoveTab(int i);
    // Shows page (one taken out, or a new one) as tab i with text.
    void InsertTab(int i, PropertyPage* page, const QString& text);

    // Runs the sheet through the environment: kIdOk or kIdCancel.
    int DoModal();
    // Presses OK or Cancel, as a click would.
    void PressButton(int id);

    DocumentEnvironment& Environment() const { return m_env; }

protected:
    void accept() override;
    void reject() override;

private:
    void Start();

    DocumentEnvironment& m_env;
    QTabBar* m_tabs;
    QStackedWidget* m_stack;
    std::vector<PropertyPage*> m_pages;
    std::vector<PropertyPage*> m_removed;
    int m_active = 0;
    bool m_switching = false;
};

// Dynamic creation of pages by class name.
using PropertyPageFactory = std::function<PropertyPage*()>;
void RegisterPropertyPageClass(const QString& name, PropertyPageFactory factory);
bool IsPropertyPageClassRegistered(const QString& name);
// A new page of the class; null for a name not registered.
PropertyPage* CreatePropertyPage(const QString& name);
