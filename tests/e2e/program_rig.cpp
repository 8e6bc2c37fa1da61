#include "tests/e2e/program_rig.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <cstdlib>
#include <sstream>

#include "core/catalogue/catalogue_types.h"
#include "core/journal/registry_state.h"
#include "gui/main_window.h"
#include "gui/picture_box.h"
#include "platform/posix/file_store.h"

namespace hivora::e2e {
namespace {

// The answers a user types, by the start of the prompt. Every box the rows show is here: a box
// the script does not know fails the test.
const std::map<QString, QString>& typedAnswers() {
    static const std::map<QString, QString> answers = {
        {"请输入你要显示的文字", "你好"},
        {"请选择桌面背景的显示效果样式", "2"},
        {"请输入墙纸左侧的水平坐标值", "10"},
        {"请输入墙纸顶端的垂直坐标值", "20"},
        {"请输入新的图标大小", "48"},
        {"请输入你想隐藏的驱动器", "CF"},
        {"请输入别名", "hivora"},
        {"请输入地址", "http://example.invalid/"},
        {"请输入待删除的别名", "hivora"},
        {"请输入相关的文字信息", "链接"},
        {"请输入对话框标题", "通知"},
        {"请输入对话框内容", "请勿关机"},
        {"请输入用户名", "admin"},
        {"请输入密码", "s3cret"},
    };
    return answers;
}

std::string readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

// Wine's format stamps every key with the time it was written; an undo writes the same values
// at a later time. Those stamps are left out of comparisons. A file that holds nothing but its
// empty root key counts as no file: the store writes one when it saves an emptied hive.
std::string withoutTimes(const std::string& text) {
    static const QRegularExpression keyTime(QStringLiteral("^(\\[.*\\]) [0-9]+$"));
    std::istringstream lines(text);
    std::string out;
    bool holdsSomething = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("#time=", 0) == 0) continue;
        QString q = QString::fromStdString(line);
        q.replace(keyTime, QStringLiteral("\\1"));
        const bool header = line.empty() || line.rfind("WINE REGISTRY", 0) == 0 ||
                            line.rfind(";;", 0) == 0 || line.rfind("#arch=", 0) == 0 || q == "[]";
        holdsSomething = holdsSomething || !header;
        out += q.toStdString() + "\n";
    }
    return holdsSomething ? out : std::string();
}

const char* const kHiveNames[] = {"system.reg", "user.reg", "userdef.reg"};

}  // namespace

const std::string& freshWinePrefix() {
    static const std::string prefix = [] {
        if (QStandardPaths::findExecutable(QStringLiteral("wineboot")).isEmpty() &&
            !QFile::exists(QStringLiteral("/usr/lib/wine/wine64")))
            return std::string();
        static QTemporaryDir work;
        const QString folder = work.filePath(QStringLiteral("prefix"));
        QProcess boot;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WINEPREFIX"), folder);
        environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
        // No Mono or Gecko installers, no menu entries, and the prefix's user folders away from
        // the real home.
        environment.insert(QStringLiteral("WINEDLLOVERRIDES"),
                           QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
        environment.insert(QStringLiteral("HOME"), work.path());
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        boot.setProcessEnvironment(environment);
        boot.start(QStringLiteral("bash"),
                   {QStringLiteral("-c"),
                    QStringLiteral("wine=$(command -v wine64 || echo /usr/lib/wine/wine64); "
                                   "server=$(command -v wineserver || echo "
                                   "/usr/lib/wine/wineserver); "
                                   "\"$wine\" wineboot --init && \"$server\" -w")});
        if (!boot.waitForFinished(300000) || boot.exitCode() != 0) {
            std::fprintf(stderr, "wineboot failed: %s\n", boot.readAllStandardError().data());
            return std::string();
        }
        // Debian's Wine keeps the ended server's folder in the temporary folder named in the
        // prefix's "wineserver" file, and leaves it behind: it goes with the prefix.
        static struct ServerFolder {
            QString path;
            ~ServerFolder() {
                if (!path.isEmpty()) QDir(path).removeRecursively();
            }
        } serverFolder;
        QFile named(folder + QStringLiteral("/wineserver"));
        if (named.open(QIODevice::ReadOnly)) {
            const QString name = QString::fromUtf8(named.readAll()).trimmed();
            if (QRegularExpression(QStringLiteral("^wine-[A-Za-z0-9]{6}$")).match(name).hasMatch())
                serverFolder.path = QDir::tempPath() + "/" + name;
        }
        return folder.toStdString();
    }();
    return prefix;
}

ProgramRig::ProgramRig(StoreKind kind)
    : m_answers([this](const Box& box, QDialog* dialog) { return respond(box, dialog); }) {
    // The program finds its config, journal and private store through the environment.
    const QString home = m_home.path();
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"}) {
        const char* value = std::getenv(name);
        m_savedEnvironment[name] =
            value ? std::optional<std::string>(value) : std::optional<std::string>();
    }
    ::setenv("HOME", home.toUtf8().constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (home + "/config").toUtf8().constData(), 1);
    ::setenv("XDG_STATE_HOME", (home + "/state").toUtf8().constData(), 1);
    ::setenv("XDG_DATA_HOME", (home + "/data").toUtf8().constData(), 1);

    Options options;
    options.codePage = 936;
    QString files = home + "/files";
    switch (kind) {
        case StoreKind::NotYetMade:
            m_storeFolder = (home + "/data/hivora/registry").toStdString();
            break;
        case StoreKind::EmptyFolder:
        case StoreKind::Seeded:
            m_storeFolder = (home + "/store").toStdString();
            QDir().mkpath(QString::fromStdString(m_storeFolder));
            options.storeDirectory = m_storeFolder;
            break;
        case StoreKind::WinePrefix:
            m_storeFolder = freshWinePrefix();
            options.storeDirectory = m_storeFolder;
            // The dialogs open in drive_c, and what is picked there is written as C:\...
            files = QString::fromStdString(m_storeFolder) + "/drive_c/hivora-e2e";
            break;
    }
    QDir().mkpath(files + "/folder");
    m_picture = files + "/sea.bmp";
    QImage(8, 8, QImage::Format_RGB32).save(m_picture);
    m_folder = files + "/folder";

    m_launcher = makeCommandLauncher();
    m_dialogs = std::make_unique<QtDialogServices>(nullptr, *m_launcher);
    m_program = std::make_unique<WindowProgram>(options, *m_dialogs);
}

ProgramRig::~ProgramRig() {
    m_program.reset();
    for (const auto& [name, value] : m_savedEnvironment) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
}

void ProgramRig::start() {
    ASSERT_TRUE(m_program->ready());
    ASSERT_TRUE(m_program->show());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_program->registry().isOpen(); }, 10000))
        << "the store was never opened";
}

void ProgramRig::answerInput(const QString& promptStart, const QString& answer) {
    m_inputAnswers[promptStart] = answer;
}

void ProgramRig::answerQuestion(const QString& promptStart, const QString& answer) {
    m_questionAnswers[promptStart] = answer;
}

QString ProgramRig::respond(const Box& box, QDialog* dialog) {
    const auto byPrompt = [&box](const std::map<QString, QString>& table) -> std::optional<QString> {
        for (const auto& [start, answer] : table)
            if (box.text.startsWith(start)) return answer;
        return std::nullopt;
    };
    switch (box.kind) {
        case BoxKind::Message:
            if (auto answer = byPrompt(m_questionAnswers)) return *answer;
            return QStringLiteral("yes");  // "ok" where there is no Yes
        case BoxKind::Input:
            if (auto answer = byPrompt(m_inputAnswers)) return *answer;
            if (auto answer = byPrompt(typedAnswers())) return *answer;
            ADD_FAILURE() << "an input box the script does not know: " << box.text.toStdString();
            return {};
        case BoxKind::File:
            return m_fileAnswer.isEmpty() ? m_picture : m_fileAnswer;
        case BoxKind::Folder:
            return m_folder;
        case BoxKind::Color:
            return QStringLiteral("#336699");
        case BoxKind::Other:
            if (m_ownDialog) m_ownDialog(dialog);
            return QStringLiteral("close");
    }
    return {};
}

void ProgramRig::showPage(int page) {
    PictureBox* tab = window().tab(page);
    QTest::mouseClick(tab, Qt::LeftButton, {}, tab->rect().center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().page(page)->isVisible(); }, 2000))
        << "page " << page << " was not shown";
}

QWidget* ProgramRig::find(const QString& name) {
    auto* found = window().findChild<QWidget*>(name);
    EXPECT_NE(found, nullptr) << "no control " << name.toStdString();
    return found;
}

void ProgramRig::press(QWidget* control) {
    if (control == nullptr) return;
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
}

void ProgramRig::typeInto(const QString& name, const QString& text) {
    auto* box = qobject_cast<QLineEdit*>(find(name));
    if (box == nullptr) return;
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    // One key event per character, as an input method delivers Chinese text (QTest's own
    // typing knows only ASCII keys).
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

void ProgramRig::key(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(&window(), static_cast<Qt::Key>(key), modifiers);
}

std::map<std::string, std::string> ProgramRig::hiveTexts() const {
    std::map<std::string, std::string> texts;
    for (const char* name : kHiveNames)
        texts[name] = withoutTimes(readWhole(QString::fromStdString(m_storeFolder + "/" + name)));
    return texts;
}

DiskView::DiskView(const std::string& folder) : m_codec(std::move(makeAnsiCodec(936)).value()) {
    auto store = openFileStore(folder, *m_codec);
    EXPECT_TRUE(store) << store.status().message();
    if (store) m_store = std::move(store).value();
}

DiskView::~DiskView() = default;

std::optional<ProgramRig::Stored> DiskView::value(RegKey root, const std::string& key,
                                                  const std::string& name) const {
    if (!m_store) return std::nullopt;
    const Result<ValueState> state = readValueState({*m_store, *m_codec}, root, key, name);
    if (!state || !state.value().present) return std::nullopt;
    return ProgramRig::Stored{state.value().type, state.value().data};
}

bool DiskView::keyExists(RegKey root, const std::string& key) const {
    if (!m_store) return false;
    const Result<bool> exists = hivora::keyExists({*m_store, *m_codec}, root, key);
    return exists && exists.value();
}

std::optional<ProgramRig::Stored> ProgramRig::storedValue(RegKey root, const std::string& key,
                                                          const std::string& name) const {
    return DiskView(m_storeFolder).value(root, key, name);
}

bool ProgramRig::keyExistsOnDisk(RegKey root, const std::string& key) const {
    return DiskView(m_storeFolder).keyExists(root, key);
}

void ProgramRig::writeFromOutside(RegKey root, const std::string& key, const std::string& name,
                                  const std::string& text) {
    auto codec = std::move(makeAnsiCodec(936)).value();
    auto store = openFileStore(m_storeFolder, *codec);
    ASSERT_TRUE(store) << store.status().message();
    ValueState state{true, kRegSz, text + std::string(1, '\0')};
    ASSERT_TRUE(writeValueState({*store.value(), *codec}, root, key, name, state));
    ASSERT_TRUE(store.value()->flush());
}

std::string difference(const std::map<std::string, std::string>& now,
                       const std::map<std::string, std::string>& wanted) {
    std::string out;
    for (const auto& [file, text] : wanted) {
        const std::string& other = now.count(file) ? now.at(file) : std::string();
        if (other == text) continue;
        std::size_t at = 0;
        while (at < text.size() && at < other.size() && text[at] == other[at]) ++at;
        const std::size_t from = text.rfind('\n', at == 0 ? 0 : at - 1);
        const std::size_t start = from == std::string::npos ? 0 : from + 1;
        out += file + " differs from byte " + std::to_string(at) +
               ":\n  now:    " + other.substr(start, 300) +
               "\n  wanted: " + text.substr(start, 300) + "\n";
    }
    return out;
}

}  // namespace hivora::e2e
