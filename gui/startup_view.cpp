#include "gui/startup_view.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <cmath>

#include "core/startup/startup_list.h"
#include "core/ui/twips.h"

namespace hivora {

using namespace startup_geometry;

namespace {

int px(double twips) {
    return twipsToPixels(static_cast<int>(std::lround(twips)));
}

QString qText(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The row's tooltip: its whole command line and the key it came from. Escaped, so that a value's
// text is never taken for markup.
QString tooltipOf(const StartupRow& row) {
    QString text = qText(row.text).toHtmlEscaped();
    if (!text.isEmpty()) text += QStringLiteral("<br>");
    text += qText(runKeyDisplayName(row.root)).toHtmlEscaped();
    return QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text);
}

}  // namespace

StartupView::StartupView(StartupList& list, QWidget* parent) : QWidget(parent), m_list(list) {
    setObjectName(QStringLiteral("Picture_PowerStartBackgound"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("Picture_PowerStart"));

    const int poolSize = startupMaxRowsInSight(kViewFullHeight);
    m_slots.resize(static_cast<std::size_t>(poolSize));
    for (Slot& slot : m_slots) {
        slot.check = new QCheckBox(m_content);
        slot.check->setFixedSize(twipsToPixels(kCheckSize), twipsToPixels(kCheckSize));
        slot.data = makeLabel();
        slot.name = makeLabel();
        // The user's click goes to the list; a slot never outlives the view, nor moves.
        connect(slot.check, &QCheckBox::stateChanged, this, [this, &slot](int state) {
            if (slot.row >= 0) m_list.setCheckState(static_cast<std::size_t>(slot.row), state);
        });
        hideSlot(slot);
    }
    reset();
}

QLabel* StartupView::makeLabel() {
    auto* label = new QLabel(m_content);
    label->setTextFormat(Qt::PlainText);  // a value name like "<b>" is text, not markup
    label->setMargin(0);
    label->setIndent(0);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void StartupView::hideSlot(Slot& slot) {
    slot.row = -1;
    slot.check->hide();
    slot.name->hide();
    slot.data->hide();
}

void StartupView::reset() {
    for (Slot& slot : m_slots) hideSlot(slot);
    m_layout = StartupViewLayout{};
    m_contentLeft = 0;
    m_contentTop = 0;
    resize(twipsToPixels(kViewFullWidth), twipsToPixels(kViewFullHeight));
    m_content->setGeometry(0, 0, 0, 0);
}

const StartupViewLayout& StartupView::layOut() {
    const QFontMetrics metrics(font());
    int widestName = 0;
    int widestData = 0;
    for (const StartupRow& row : m_list.rows()) {
        widestName = std::max(widestName, metrics.horizontalAdvance(qText(row.name)));
        widestData = std::max(widestData, metrics.horizontalAdvance(qText(row.text)));
    }
    const int rowCount = static_cast<int>(std::min<std::size_t>(m_list.size(), 32767));
    m_layout = layOutStartupView(rowCount, pixelsToTwips(widestName), pixelsToTwips(widestData));

    resize(px(m_layout.viewWidth), px(m_layout.viewHeight));
    m_contentLeft = 0;
    m_contentTop = 0;
    m_content->setGeometry(0, 0, px(m_layout.contentWidth), px(m_layout.contentHeight));
    for (Slot& slot : m_slots) hideSlot(slot);  // the rows were read again: bind afresh
    placeRows();
    return m_layout;
}

void StartupView::setContentLeft(double twips) {
    m_contentLeft = static_cast<int>(std::lround(twips));
    m_content->move(px(m_contentLeft), px(m_contentTop));
}

void StartupView::setContentTop(double twips) {
    m_contentTop = static_cast<int>(std::lround(twips));
    m_content->move(px(m_contentLeft), px(m_contentTop));
    placeRows();
}

void StartupView::placeRows() {
    const int rowCount = static_cast<int>(std::min<std::size_t>(m_list.size(), 32767));
    const StartupRowSpan span = startupRowsInSight(rowCount, -m_contentTop, m_layout.viewHeight);
    for (Slot& slot : m_slots) {
        if (slot.row >= 0 && (slot.row < span.first || slot.row >= span.first + span.count)) {
            hideSlot(slot);
        }
    }
    for (int row = span.first; row < span.first + span.count; ++row) {
        Slot& slot = slotFor(row);
        if (slot.row != row) bind(slot, row);
    }
}

void StartupView::bind(Slot& slot, int row) {
    const StartupRow& data = m_list.rows()[static_cast<std::size_t>(row)];
    slot.row = row;
    const QFontMetrics metrics(font());
    const QString index = QString::number(row);
    const QString tip = tooltipOf(data);

    slot.check->setObjectName(QStringLiteral("Check_PowerStart(%1)").arg(index));
    {
        const QSignalBlocker quiet(slot.check);  // the list already holds this state
        slot.check->setCheckState(static_cast<Qt::CheckState>(std::clamp(data.checkState, 0, 2)));
    }
    slot.check->move(twipsToPixels(kCheckLeft), twipsToPixels(startupCheckTop(row)));
    slot.check->setToolTip(tip);
    slot.check->show();

    const auto placeLabel = [&](QLabel* label, const QString& name, const std::string& text,
                                int left, bool isName) {
        const QString caption = qText(text);
        label->setObjectName(name.arg(index));
        label->setText(caption);
        label->setToolTip(tip);
        const int height = metrics.height();
        const double top = startupLabelTop(row, pixelsToTwips(height), isName);
        label->setGeometry(px(left), px(top), metrics.horizontalAdvance(caption), height);
        label->show();
    };
    placeLabel(slot.name, QStringLiteral("Label_PowerStartName(%1)"), data.name, kNameLeft, true);
    placeLabel(slot.data, QStringLiteral("Label_PowerStartValue(%1)"), data.text, m_layout.dataLeft,
               false);
}

void StartupView::syncChecks() {
    for (Slot& slot : m_slots) {
        if (slot.row < 0) continue;
        const QSignalBlocker quiet(slot.check);
        const int state = m_list.rows()[static_cast<std::size_t>(slot.row)].checkState;
        slot.check->setCheckState(static_cast<Qt::CheckState>(std::clamp(state, 0, 2)));
    }
}

}  // namespace hivora
