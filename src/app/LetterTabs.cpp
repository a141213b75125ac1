#include "app/LetterTabs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>
#include <QStylePainter>

namespace app {

QSize LetterTabBar::tabSizeHint(int) const {
    const int n = std::max(1, count());
    const int avail = parentWidget() ? parentWidget()->height() : maxLength * n;
    const int length = std::max(8, std::min(maxLength, avail / n));
    return QSize(thickness, length);
}

void LetterTabBar::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    auto drawTab = [&](int i) {
        QStyleOptionTab opt;
        initStyleOption(&opt, i);
        opt.text.clear();
        p.drawControl(QStyle::CE_TabBarTabShape, opt);
        if (hasFocus() && i == currentIndex()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = tabRect(i).adjusted(3, 3, -3, -3);
            focus.backgroundColor = palette().color(QPalette::Window);
            p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
        }
        const QString caption = tabText(i).trimmed();
        if (caption.isEmpty())
            return;
        const QRect r = tabRect(i);
        const int line = fontMetrics().height();
        p.setPen(palette().color(isTabEnabled(i) ? QPalette::Active : QPalette::Disabled,
                                 QPalette::WindowText));
        if (r.height() >= 2 * line + 4) {
            p.drawText(QRect(r.left(), r.top() + 1, r.width(), line), Qt::AlignCenter,
                       caption.left(1));
            p.drawText(QRect(r.left(), r.bottom() - line, r.width(), line), Qt::AlignCenter,
                       caption.right(1));
        } else {
            p.drawText(r, Qt::AlignCenter, caption.left(1));
        }
    };
    // The current tab last, so that its raised shape lies over its neighbours.
    for (int i = 0; i < count(); ++i)
        if (i != currentIndex())
            drawTab(i);
    if (currentIndex() >= 0)
        drawTab(currentIndex());
}

void LetterTabBar::keyPressEvent(QKeyEvent* event) {
    int next = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        next = currentIndex() - 1;
        break;
    case Qt::Key_Down:
        next = currentIndex() + 1;
        break;
    case Qt::Key_Home:
        next = 0;
        break;
    case Qt::Key_End:
        next = count() - 1;
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit reapplyRequested();
        return;
    default:
        QTabBar::keyPressEvent(event);
        return;
    }
    if (next >= 0 && next < count())
        setCurrentIndex(next);
}

void LetterTabBar::mousePressEvent(QMouseEvent* event) {
    // A click on the tab already selected changes nothing, yet the user asks for its letter:
    // the handler runs again, so the letter shown is the letter applied.
    const int index = tabAt(event->position().toPoint());
    const bool again = event->button() == Qt::LeftButton && index >= 0 && index == currentIndex();
    QTabBar::mousePressEvent(event);
    if (again)
        emit reapplyRequested();
}

LetterTabs::LetterTabs(QWidget* parent) : QWidget(parent), m_bar(new LetterTabBar(this)) {
    m_bar->setObjectName(QStringLiteral("TabVeskTabs"));
    m_bar->setShape(QTabBar::RoundedEast);
    m_bar->setElideMode(Qt::ElideMiddle);
    m_bar->setUsesScrollButtons(false);
    m_bar->setExpanding(false);
    m_bar->setDrawBase(false);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        const int previous = m_previous;
        m_previous = index;
        emit tabChanged(previous);
    });
    connect(m_bar, &LetterTabBar::reapplyRequested, this,
            [this] { emit tabChanged(m_bar->currentIndex()); });
}

void LetterTabs::setTabs(const QStringList& captions) {
    const QSignalBlocker block(m_bar);
    while (m_bar->count() > captions.size())
        m_bar->removeTab(m_bar->count() - 1);
    for (int i = 0; i < captions.size(); ++i) {
        if (i < m_bar->count())
            m_bar->setTabText(i, captions[i]);
        else
            m_bar->addTab(captions[i]);
        m_bar->setTabToolTip(i, captions[i].left(1));
    }
    m_previous = m_bar->currentIndex();
    placeBar();
}

void LetterTabs::setCurrentIndex(int i) {
    m_bar->setCurrentIndex(i);
}

void LetterTabs::setEdge(Edge edge) {
    m_edge = edge;
    m_bar->setShape(edge == Edge::Right ? QTabBar::RoundedEast : QTabBar::RoundedWest);
    placeBar();
}

void LetterTabs::setTabMetrics(int height, int maxWidth) {
    m_bar->thickness = height;
    m_bar->maxLength = maxWidth;
    placeBar();
}

void LetterTabs::resizeEvent(QResizeEvent*) {
    placeBar();
}

void LetterTabs::placeBar() {
    const int w = m_bar->thickness;
    m_bar->setGeometry(m_edge == Edge::Right ? width() - w : 0, 0, w, height());
    m_bar->updateGeometry();
    update();
}

void LetterTabs::paintEvent(QPaintEvent*) {
    // The face of the strip: a raised panel beside the tabs.
    QPainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    const int w = m_bar->thickness;
    opt.rect = m_edge == Edge::Right ? QRect(0, 0, width() - w + 2, height())
                                     : QRect(w - 2, 0, width() - w + 2, height());
    opt.shape = m_bar->shape();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
}

} // namespace app
