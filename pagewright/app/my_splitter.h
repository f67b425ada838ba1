// CMySplitter: a splitter whose bars are filled with the skin's light
// colour. The report frame does not split its view; the class is kept for
// the frames that do.
#pragma once

#include <QColor>
#include <QSplitter>

class CMySplitter : public QSplitter {
    Q_OBJECT
public:
    explicit CMySplitter(Qt::Orientation orientation, QWidget* parent = nullptr);
    void SetLightColor(const QColor& colour);
    QColor GetLightColor() const { return m_light; }

protected:
    QSplitterHandle* createHandle() override;

private:
    QColor m_light{Qt::lightGray};
};
