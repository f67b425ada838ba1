// Commands by numeric id, routed as the class library routes them: the
// active view, its document, its child frame, the main frame, then the
// application. Each target keeps a table of command handlers and update
// handlers; the first target whose table has the id takes the command.
#pragma once

#include <QString>

#include <functional>
#include <vector>

// The state an update handler sets for one command's menu items, buttons
// and panes.
class CCmdUI {
public:
    explicit CCmdUI(int id) : m_id(id) {}

    int GetID() const { return m_id; }
    void Enable(bool on = true) { m_enabled = on; m_enableChanged = true; }
    void SetCheck(int check = 1) { m_checked = check != 0; m_checkChanged = true; }
    void SetRadio(bool on = true) { SetCheck(on ? 1 : 0); }
    void SetText(const QString& text) { m_text = text; m_textChanged = true; }

    bool IsEnabled() const { return m_enabled; }
    bool IsChecked() const { return m_checked; }
    bool EnableChanged() const { return m_enableChanged; }
    bool CheckChanged() const { return m_checkChanged; }
    bool TextChanged() const { return m_textChanged; }
    const QString& Text() const { return m_text; }

private:
    int m_id;
    bool m_enabled = true;
    bool m_checked = false;
    bool m_enableChanged = false;
    bool m_checkChanged = false;
    bool m_textChanged = false;
    QString m_text;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // What a routed call asks of a target.
    enum class CmdMode { Execute, Update, Probe };

    // Execute: runs the command handler. Update: runs the update handler.
    // Probe: only answers whether a command handler exists. True when this
    // target (or a target it routes to) handled the id.
    virtual bool OnCmdMsg(int id, CmdMode mode, CCmdUI* ui);

    // Handlers of this target; for one id the first entry with a command
    // handler wins, and the first with an update handler.
    void OnCommand(int id, std::function<void(int)> handler) { OnCommandRange(id, id, std::move(handler)); }
    void OnCommandRange(int first, int last, std::function<void(int)> handler);
    void OnUpdate(int id, std::function<void(CCmdUI&)> handler) { OnUpdateRange(id, id, std::move(handler)); }
    void OnUpdateRange(int first, int last, std::function<void(CCmdUI&)> handler);

protected:
    struct CommandEntry {
        int first;
        int last;
        std::function<void(int id)> onCommand;      // may be empty
        std::function<void(CCmdUI& ui)> onUpdate;   // may be empty
    };
    bool DispatchOwn(int id, CmdMode mode, CCmdUI* ui);

private:
    std::vector<CommandEntry> m_entries;
};
