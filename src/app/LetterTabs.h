#pragma once

#include <QStringList>
#include <QTabBar>
#include <QWidget>

namespace app {

// Tabs of one length: as long as allowed, or shorter so that all fit along the strip.
class LetterTabBar final : public QTabBar {
    Q_OBJECT
public:
    using QTabBar::QTabBar;
    int thickness = 20;
    int maxLength = 33;

protected:
    QSize tabSizeHint(int index) const override;
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    // The caption is a letter, blanks and the letter again: the letter is drawn upright at
    // both ends of a tab long enough for two, once in the middle of a shorter one. The
    // current tab shows the keyboard focus.
    void paintEvent(QPaintEvent* event) override;
    // The tabs run down the edge: Up and Down move between them, Home and End go to the
    // first and the last; Space or Enter applies the current tab again.
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

signals:
    // The current tab was clicked, or applied from the keyboard, once more.
    void reapplyRequested();
};

// The letter index: a strip whose tabs run down its right edge (Hebrew) or its left edge
// (English); the list and the buttons lie on its face.
class LetterTabs final : public QWidget {
    Q_OBJECT
public:
    enum class Edge { Right, Left };
    explicit LetterTabs(QWidget* parent = nullptr);

    void setTabs(const QStringList& captions);
    int count() const { return m_bar->count(); }
    QString caption(int i) const { return m_bar->tabText(i); }
    int currentIndex() const { return m_bar->currentIndex(); }
    void setCurrentIndex(int i);
    void setEdge(Edge edge);
    Edge edge() const { return m_edge; }
    // Thickness of a tab across the edge and its longest length along it, in pixels.
    void setTabMetrics(int height, int maxWidth);
    QTabBar* bar() const { return m_bar; }

signals:
    // The current tab changed, or the current tab was clicked (or applied from the keyboard)
    // again; carries the tab selected before.
    void tabChanged(int previous);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void placeBar();
    LetterTabBar* m_bar;
    Edge m_edge = Edge::Right;
    int m_previous = 0;
};

} // namespace app
