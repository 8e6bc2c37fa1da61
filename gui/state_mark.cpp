#include "gui/state_mark.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <climits>

namespace hivora {
namespace {

constexpr int kGapPx = 3;

// Keeps a mark beside its caption as the caption moves, changes size or is shown and hidden.
class CaptionFollower : public QObject {
  public:
    CaptionFollower(QLabel* caption, StateMark* mark)
        : QObject(mark), m_caption(caption), m_mark(mark) {
        caption->installEventFilter(this);
        place();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_caption) {
            switch (event->type()) {
                case QEvent::Move:
                case QEvent::Resize:
                case QEvent::Show:
                case QEvent::Hide:
                case QEvent::FontChange:
                    place();
                    break;
                default:
                    break;
            }
        }
        return false;
    }

  private:
    void place() {
        const QRect r = m_caption->geometry();
        const int size = StateMark::kSizePx;
        // Level with the first line of the text, wherever the label's alignment puts the text.
        const QFontMetrics metrics = m_caption->fontMetrics();
        const int lineHeight = std::min(r.height(), metrics.height());
        int textHeight = lineHeight;
        if (m_caption->wordWrap()) {
            textHeight = metrics
                             .boundingRect(QRect(0, 0, r.width(), INT_MAX), Qt::TextWordWrap,
                                           m_caption->text())
                             .height();
            textHeight = std::clamp(textHeight, lineHeight, r.height());
        }
        int textTop = r.top();
        if (m_caption->alignment() & Qt::AlignVCenter)
            textTop += (r.height() - textHeight) / 2;
        else if (m_caption->alignment() & Qt::AlignBottom)
            textTop += r.height() - textHeight;
        const int y = textTop + (lineHeight - size) / 2;
        int x = r.left() - size - kGapPx;
        if (x < 0) {
            const int textWidth = m_caption->fontMetrics().horizontalAdvance(m_caption->text());
            x = r.left() + std::min(textWidth, r.width()) + kGapPx;
        }
        m_mark->setGeometry(x, y, size, size);
        m_mark->setVisible(m_caption->isVisibleTo(m_caption->parentWidget()));
        m_mark->raise();
    }

    QLabel* m_caption;
    StateMark* m_mark;
};

}  // namespace

StateMark::StateMark(QWidget* parent) : QWidget(parent) {
    setFixedSize(kSizePx, kSizePx);
    setAttribute(Qt::WA_TranslucentBackground);
    setRowState({});
}

void StateMark::setRowState(const RowState& state, WindowsGeneration current) {
    setRowMark(rowMark(state, current));
}

void StateMark::setRowMark(const RowMark& mark) {
    m_state = mark.state;
    m_noEffect = mark.noEffect;
    setToolTip(QString::fromStdString(mark.tooltip));
    setAccessibleName(QString::fromStdString(mark.accessibleName));
    update();
}

void StateMark::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = m_caption ? m_caption->palette().color(m_caption->foregroundRole())
                                 : palette().color(QPalette::WindowText);
    const QWidget* ground = parentWidget() ? parentWidget() : this;
    const QColor cut = ground->palette().color(ground->backgroundRole());
    const QRectF disc = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(ink, 1.5));

    switch (m_state) {
        case SettingState::NotSet:
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(disc);
            break;
        case SettingState::Mixed: {
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(disc);
            QPainterPath half;
            half.moveTo(disc.center());
            half.arcTo(disc, 90, 180);
            half.closeSubpath();
            painter.fillPath(half, ink);
            break;
        }
        case SettingState::Set: {
            painter.setBrush(ink);
            painter.drawEllipse(disc);
            // A row without effect gets the bar below instead of the tick: the two would cross.
            if (m_noEffect) break;
            // The tick in the background colour, cut out of the disc.
            painter.setPen(QPen(cut, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const qreal w = disc.width();
            QPainterPath tick;
            tick.moveTo(disc.left() + w * 0.25, disc.top() + w * 0.52);
            tick.lineTo(disc.left() + w * 0.43, disc.top() + w * 0.70);
            tick.lineTo(disc.left() + w * 0.75, disc.top() + w * 0.32);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(tick);
            break;
        }
    }
    if (!m_noEffect) return;
    // A row without effect: the disc struck through from top left to bottom right, as a sign
    // that forbids. The bar is in ink over the empty part and cut out of the filled part.
    const QPointF centre = disc.center();
    const qreal reach = disc.width() / 2 * 0.7071;
    const QLineF bar(centre - QPointF(reach, reach), centre + QPointF(reach, reach));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(bar);
    QPainterPath filled;
    if (m_state == SettingState::Set) {
        filled.addEllipse(disc);
    } else if (m_state == SettingState::Mixed) {
        filled.moveTo(centre);
        filled.arcTo(disc, 90, 180);
        filled.closeSubpath();
    }
    if (filled.isEmpty()) return;
    painter.setClipPath(filled);
    painter.setPen(QPen(cut, 1.6, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(bar);
}

StateMark* attachStateMark(QLabel* caption) {
    auto* mark = new StateMark(caption->parentWidget());
    mark->takeColoursFrom(caption);
    QObject::connect(caption, &QObject::destroyed, mark, &QObject::deleteLater);
    new CaptionFollower(caption, mark);
    return mark;
}

}  // namespace hivora
