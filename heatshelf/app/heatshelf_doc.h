// CHeatshelfDoc: the document of the single-document frame. It holds
// nothing (the browser keeps everything in its views) and keeps its title
// empty, so the frame's caption shows the program's name only.
#pragma once

#include <QString>

namespace heatshelf {

class CHeatshelfDoc {
public:
    bool OnNewDocument() { return true; }
    // Whatever the title asked for, the document's stays empty.
    void SetTitle(const QString&) { m_title.clear(); }
    const QString& GetTitle() const { return m_title; }

private:
    QString m_title;
};

} // namespace heatshelf
