#include "gui/form_config.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <string>

#include "core/config/color_config.h"
#include "core/config/ini_access.h"
#include "core/ui/twips.h"
#include "gui/color_value.h"
#include "gui/main_window.h"
#include "gui/tarn_xp_scroll_bar.h"

namespace hivora {

namespace {

QRect twipsRect(int left, int top, int width, int height) {
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

// The client area: the bars with their margins, the buttons with theirs.
constexpr int kClientWidthTwips = 4695;
constexpr int kClientHeightTwips = 3300;

struct Component {
    const char* name;     // Red, Green, Blue
    const char* caption;  // the label before the number
    const char* initial;  // the number label's text until editing starts
    int top;              // of the caption row, twips
    int numberWidth;
};

constexpr Component kComponents[] = {
    {"Red", "红色分量(R):", "RedNum", 240, 810},
    {"Green", "绿色分量(G):", "GreenNum", 960, 1080},
    {"Blue", "蓝色分量(B):", "BlueNum", 1680, 945},
};

}  // namespace

FormConfig::FormConfig(MainWindow& owner)
    : QDialog(&owner), m_owner(owner), m_newColor(owner.colors().backColor) {
    setObjectName(QStringLiteral("Form_Config"));
    setModal(true);
    setWindowTitle(QString::fromUtf8(kConfigCaption));
    setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));

    for (int i = 0; i < 3; ++i) {
        const Component& c = kComponents[i];
        auto* label = new QLabel(QString::fromUtf8(c.caption), this);
        label->setObjectName(QStringLiteral("Label_%1").arg(QLatin1String(c.name)));
        label->setGeometry(twipsRect(360, c.top, 1560, 240));
        auto* number = new QLabel(QString::fromLatin1(c.initial), this);
        number->setObjectName(QStringLiteral("Label_%1Num").arg(QLatin1String(c.name)));
        number->setGeometry(twipsRect(2160, c.top, c.numberWidth, 240));
        m_numbers[i] = number;
        auto* bar = new TarnXPHScrollBar(this);
        bar->setObjectName(QStringLiteral("TarnXPHScrollBar_%1").arg(QLatin1String(c.name)));
        bar->setGeometry(twipsRect(360, c.top + 360, 3975, 255));
        bar->setMin(0);
        bar->setMax(255);
        bar->setSmallChange(1);
        bar->setLargeChange(10);
        bar->setValue(0);
        bar->setColorScheme(0);
        connect(bar, &TarnXPScrollBarBase::Change, this, &FormConfig::Apply_ScrollColor);
        m_bars[i] = bar;
    }
    const auto makeButton = [this](const char* caption, const char* name, int left) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(twipsRect(left, 2520, 975, 375));
        return button;
    };
    m_ok = makeButton("确 定", "Command_OK", 840);
    m_apply = makeButton("更 改", "Command_Apply", 1853);
    m_cancel = makeButton("放 弃", "Command_Cancel", 2880);
    connect(m_ok, &QPushButton::clicked, this, &FormConfig::onOk);
    connect(m_apply, &QPushButton::clicked, this, &FormConfig::onApply);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, qColorOf(m_owner.colors().backColor));
    setPalette(palette);
    setAutoFillBackground(true);
    Set_Visible(false);
}

void FormConfig::Set_Visible(bool flag) {
    m_editing = flag;
    m_cancel->setVisible(flag);
    m_ok->setVisible(flag);
    for (TarnXPHScrollBar* bar : m_bars) bar->setEnabled(flag);
}

void FormConfig::Set_ScrollValue(std::int32_t color) {
    // C++ division truncates toward zero and the remainder takes the dividend's sign, as the
    // split is defined; values outside 0..255 stay visible in the labels.
    const std::int32_t parts[3] = {color % 256, (color / 256) % 256, color / 65536};
    for (int i = 0; i < 3; ++i) m_bars[i]->setValue(parts[i]);
    for (int i = 0; i < 3; ++i) m_numbers[i]->setText(QString::number(parts[i]));
}

void FormConfig::Apply_ScrollColor() {
    if (!m_editing) return;
    std::int32_t parts[3];
    for (int i = 0; i < 3; ++i) {
        parts[i] = m_bars[i]->Value();
        m_numbers[i]->setText(QString::number(parts[i]));
    }
    m_newColor = parts[0] + 256 * parts[1] + 65536 * parts[2];
    m_owner.ApplyFrameBackColor(m_newColor);
    m_owner.ApplyPageBackColor(m_newColor);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, qColorOf(m_newColor));
    setPalette(palette);
}

void FormConfig::onApply() {
    Set_ScrollValue(m_owner.colors().backColor);
    Set_Visible(true);
    m_apply->hide();
}

void FormConfig::onOk() {
    if (m_newColor != m_owner.colors().backColor) {
        m_owner.setBackColor(m_newColor);
        const std::string& file = m_owner.configFile();
        if (m_owner.ini() != nullptr && !file.empty()) {
            // The profile functions create the file but not its folder (the user's configuration
            // folder may not exist yet).
            QDir().mkpath(QFileInfo(QString::fromStdString(file)).absolutePath());
            // A failed write keeps the colour for this run only; the next start shows the old one.
            (void)m_owner.ini()->WriteIniValue(file, kColorSection, "Back_Color",
                                               std::to_string(m_newColor));
        }
    }
    accept();
}

void FormConfig::done(int result) {
    // However the dialog closes, a preview that was not kept goes back to Back_Color.
    const std::int32_t backColor = m_owner.colors().backColor;
    if (backColor != m_newColor) {
        m_owner.ApplyFrameBackColor(backColor);
        m_owner.ApplyPageBackColor(backColor);
    }
    QDialog::done(result);
}

}  // namespace hivora
