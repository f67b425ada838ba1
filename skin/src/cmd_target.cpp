#include "skin/cmd_target.h"

void CCmdTarget::OnCommandRange(int first, int last, std::function<void(int)> handler)
{
    m_entries.push_back({first, last, std::move(handler), {}});
}

void CCmdTarget::OnUpdateRange(int first, int last, std::function<void(CCmdUI&)> handler)
{
    m_entries.push_back({first, last, {}, std::move(handler)});
}

bool CCmdTarget::DispatchOwn(int id, CmdMode mode, CCmdUI* ui)
{
    for (const CommandEntry& e : m_entries) {
        if (id < e.first || id > e.last)
            continue;
        if (mode == CmdMode::Update && e.onUpdate && ui != nullptr) {
            e.onUpdate(*ui);
            return true;
        }
        if (mode != CmdMode::Update && e.onCommand) {
            if (mode == CmdMode::Execute)
                e.onCommand(id);
            return true;
        }
    }
    return false;
}

bool CCmdTarget::OnCmdMsg(int id, CmdMode mode, CCmdUI* ui) { return DispatchOwn(id, mode, ui); }
