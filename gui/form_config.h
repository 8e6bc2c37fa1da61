#pragma once
// Form_Config: the colour dialog. Three skinned bars mix red, green and blue; after "更 改" each
// movement previews the colour on the main window's pages and frames and on the dialog itself;
// "确 定" keeps a changed colour as Back_Color and stores it in "config.ini"; any other way out
// takes the preview back. Modal, owned by the main window.

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

namespace hivora {

class MainWindow;
class TarnXPHScrollBar;

inline constexpr char kConfigCaption[] = "背景颜色设置 Hivora";

class FormConfig : public QDialog {
    Q_OBJECT
  public:
    explicit FormConfig(MainWindow& owner);

    // Editing := flag; OK and discard shown or hidden, the bars enabled or disabled alike.
    void Set_Visible(bool flag);
    // The colour split into red, green and blue (integer arithmetic on the signed value) onto the
    // bars, which keep their range, and the number labels, which show the numbers as computed.
    void Set_ScrollValue(std::int32_t color);
    // While editing: the bars' colour becomes NewColor and is previewed.
    void Apply_ScrollColor();

    std::int32_t NewColor() const { return m_newColor; }
    bool Editing() const { return m_editing; }
    TarnXPHScrollBar* bar(int component) const { return m_bars[component]; }
    QLabel* numberLabel(int component) const { return m_numbers[component]; }

    void done(int result) override;

  private:
    void onOk();
    void onApply();

    MainWindow& m_owner;
    std::int32_t m_newColor;
    bool m_editing = false;
    TarnXPHScrollBar* m_bars[3] = {};
    QLabel* m_numbers[3] = {};
    QPushButton* m_ok = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace hivora
