// A Plinthar plug-in built only for the tests. The plain variant upper-cases the selection
// (or the whole document) through the view messages; with TESTPLUGIN_WITH_DIALOG it shows a
// script window with the control names of the real one, whose "scripts" are one word each:
// "upper", "lower" or "fail".

#include "hostmessages/hostmessages.h"
#include "platform/messagebox.h"
#include "platform/qt/resourceregistry.h"
#include "platform/resourcetable.h"
#include "platform/shellfolders.h"
#include "plinthar/plintharplugin.h"

#include <QByteArray>
#include <QtGlobal>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#ifdef TESTPLUGIN_WITH_DIALOG
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#endif

#define TESTPLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::uint32_t g_commandId = 0;
std::string g_events; // what the host told us, for the tests to read

enum BitmapId {
    kSmall = 201,
    kSmallDisabled = 202,
    kSmallHighlighted = 203,
    kLarge = 211,
    kLargeDisabled = 212,
    kLargeHighlighted = 213
};

void putLe(QByteArray &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// An uncompressed 24-bit .bmp: a frame in @p frame colour around a @p fill face, with
// magenta (the mask colour) in the top-right and bottom-left corners.
QByteArray makeBitmap(int size, std::uint32_t fill)
{
    const int rowBytes = (size * 3 + 3) & ~3;
    QByteArray out("BM");
    putLe(out, std::uint32_t(54 + rowBytes * size), 4);
    putLe(out, 0, 4);
    putLe(out, 54, 4);
    putLe(out, 40, 4);
    putLe(out, std::uint32_t(size), 4);
    putLe(out, std::uint32_t(size), 4); // positive height: bottom-up rows
    putLe(out, 1, 2);
    putLe(out, 24, 2);
    putLe(out, 0, 4);
    putLe(out, std::uint32_t(rowBytes * size), 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    for (int row = size - 1; row >= 0; --row) { // file rows run bottom to top
        for (int x = 0; x < size; ++x) {
            std::uint32_t rgb = fill;
            if ((x == size - 1 && row == 0) || (x == 0 && row == size - 1))
                rgb = 0xFF00FF;
            else if (x == 0 || row == 0 || x == size - 1 || row == size - 1)
                rgb = 0x000000;
            out.append(char(rgb & 0xFF));         // blue
            out.append(char((rgb >> 8) & 0xFF));  // green
            out.append(char((rgb >> 16) & 0xFF)); // red
        }
        for (int pad = size * 3; pad < rowBytes; ++pad)
            out.append('\0');
    }
    return out;
}

int registerResources()
{
    const platform::ModuleHandle module = platform::moduleOfAddress(&g_commandId);
    platform::registerStringTable(
        module, platform::Language::English,
        {{1, "Upper Case"}, {2, "Upper-case the selection"}, {5, "2.50"}});
    platform::registerStringTable(module, platform::Language::Japanese,
                                  {{1, "大文字"}, {2, "選択範囲を大文字にする"}, {5, "2.50"}});
    platform::registerBitmap(module, kSmall, makeBitmap(16, 0x2060E0));
    platform::registerBitmap(module, kSmallDisabled, makeBitmap(16, 0xA0A0A0));
    platform::registerBitmap(module, kSmallHighlighted, makeBitmap(16, 0x20C040));
    platform::registerBitmap(module, kLarge, makeBitmap(24, 0x2060E0));
    platform::registerBitmap(module, kLargeDisabled, makeBitmap(24, 0xA0A0A0));
    platform::registerBitmap(module, kLargeHighlighted, makeBitmap(24, 0x20C040));
    return 0;
}

[[maybe_unused]] const int g_registered = registerResources();

std::string transformed(std::string text, bool upper)
{
    for (char &c : text)
        c = char(upper ? std::toupper(static_cast<unsigned char>(c))
                       : std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Replaces the selection (the whole document when @p selectionOnly is false or nothing is
// selected) by its upper- or lower-cased text, using only the view messages.
void filterSelection(PlintharWindow view, bool selectionOnly, bool upper)
{
    if (!selectionOnly || plugin::getSelType(view) == 0)
        plugin::execCommand(view, CMD_SELECT_ALL);
    const std::string text = plugin::readSelectedText(view);
    plugin::execCommand(view, CMD_DELETE);
    plugin::insertString(view, transformed(text, upper).c_str());
}

#ifdef TESTPLUGIN_WITH_DIALOG
std::unique_ptr<QDialog> g_window;

void runScript(QDialog *window, PlintharWindow view)
{
    const QString script =
        window->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText().trimmed();
    const bool selectionOnly =
        window->findChild<QCheckBox *>(QStringLiteral("chkSelectArea"))->isChecked();
    if (script == QLatin1String("upper") || script == QLatin1String("lower")) {
        filterSelection(view, selectionOnly, script == QLatin1String("upper"));
        window->accept();
        return;
    }
    const std::string message = script == QLatin1String("fail")
                                    ? std::string("The test script failed.")
                                    : "Unknown test script: " + script.toStdString() + ".";
    platform::messageBox(nullptr, message, platform::applicationTitle(),
                         platform::MessageBoxStyle::OkError);
}

void showWindow(PlintharWindow view)
{
    if (!g_window) {
        g_window = std::make_unique<QDialog>();
        g_window->setObjectName(QStringLiteral("frmKorvex"));
        g_window->setWindowTitle(QStringLiteral("Korvex"));
        auto *layout = new QVBoxLayout(g_window.get());
        auto *scripts = new QComboBox(g_window.get());
        scripts->setObjectName(QStringLiteral("cboScripts"));
        auto *memo = new QPlainTextEdit(g_window.get());
        memo->setObjectName(QStringLiteral("Memo1"));
        auto *run = new QPushButton(QStringLiteral("Run"), g_window.get());
        run->setObjectName(QStringLiteral("SpeedButton1"));
        auto *selectArea = new QCheckBox(QStringLiteral("Selection only"), g_window.get());
        selectArea->setObjectName(QStringLiteral("chkSelectArea"));
        for (QWidget *w : std::array<QWidget *, 4>{scripts, selectArea, run, memo})
            layout->addWidget(w);
        QObject::connect(scripts, &QComboBox::activated, memo, [scripts, memo](int index) {
            const QString folder =
                QString::fromLocal8Bit(platform::documentsFolder()) + QStringLiteral("/Korvex/");
            QFile file(folder + scripts->itemText(index));
            if (file.open(QIODevice::ReadOnly))
                memo->setPlainText(QString::fromLocal8Bit(file.readAll()));
        });
        QObject::connect(run, &QPushButton::clicked, g_window.get(),
                         [view] { runScript(g_window.get(), view); });
    }
    auto *scripts = g_window->findChild<QComboBox *>(QStringLiteral("cboScripts"));
    scripts->clear();
    const QDir folder(QString::fromLocal8Bit(platform::documentsFolder()) +
                      QStringLiteral("/Korvex"));
    scripts->addItems(folder.entryList({QStringLiteral("*.rb")}, QDir::Files, QDir::Name));
    g_window->findChild<QCheckBox *>(QStringLiteral("chkSelectArea"))
        ->setChecked(plugin::getSelType(view) != 0);
    g_window->exec();
}
#endif

} // namespace

TESTPLUGIN_EXPORT void OnCommand(PlintharWindow view)
{
    g_events += "command;";
    try {
#ifdef TESTPLUGIN_WITH_DIALOG
        showWindow(view);
#else
        filterSelection(view, true, true);
#endif
    } catch (const std::exception &e) {
        g_events += std::string("error ") + e.what() + ";";
    }
}

TESTPLUGIN_EXPORT int32_t QueryStatus(PlintharWindow view, int32_t *)
{
#ifdef TESTPLUGIN_WITH_DIALOG
    (void)view;
    return -1;
#else
    // Available only with a selection, so the host's enabling can be watched.
    return plugin::getSelType(view) != 0 ? -1 : 0;
#endif
}

TESTPLUGIN_EXPORT void OnEvents(PlintharWindow view, uint32_t events, intptr_t argument)
{
    if (events & EVT_SET_COMMAND_ID) {
        g_commandId = std::uint32_t(argument);
        g_events += "id " + std::to_string(argument) + ";";
    }
    if (events & EVT_REFRESH)
        plugin::updateCommand(view, g_commandId);
    if (events & EVT_RELEASE) {
        g_events += "release;";
#ifdef TESTPLUGIN_WITH_DIALOG
        g_window.reset();
#endif
    }
}

TESTPLUGIN_EXPORT uint32_t GetMenuTextID(void)
{
    return 1;
}

TESTPLUGIN_EXPORT uint32_t GetStatusMessageID(void)
{
    return 2;
}

TESTPLUGIN_EXPORT uint32_t GetBitmapID(void)
{
    return kSmall;
}

TESTPLUGIN_EXPORT intptr_t PlugInProc(PlintharWindow view, uint32_t message, uintptr_t wParam,
                                      intptr_t lParam)
{
    const platform::ModuleHandle module = platform::moduleOfAddress(&g_commandId);
    switch (message) {
    case PLUGIN_QUERY_VERSION: {
        const std::string text = platform::loadString(module, 5);
        if (lParam != 0 && wParam != 0) {
            const std::size_t count = std::min<std::size_t>(text.size(), wParam - 1);
            std::memcpy(reinterpret_cast<char *>(lParam), text.data(), count);
            reinterpret_cast<char *>(lParam)[count] = '\0';
        }
        return intptr_t(text.size());
    }
    case PLUGIN_QUERY_UNINSTALL:
        return platform::messageBox(view, "Uninstall the test plug-in?", "UnInstall",
                                    platform::MessageBoxStyle::YesNoQuestion) ==
                       platform::MessageBoxResult::Yes
                   ? 1
                   : 0;
    case PLUGIN_QUERY_BITMAP: {
        const bool large = wParam & PLUGIN_BITMAP_LARGE;
        if (wParam & PLUGIN_BITMAP_DISABLED)
            return large ? kLargeDisabled : kSmallDisabled;
        if (wParam & PLUGIN_BITMAP_HIGHLIGHTED)
            return large ? kLargeHighlighted : kSmallHighlighted;
        return large ? kLarge : kSmall;
    }
    case PLUGIN_QUERY_MASK:
        return (wParam & (PLUGIN_BITMAP_TRUE_COLOUR | PLUGIN_BITMAP_256_COLOURS)) ? 0x00FF00FF : 0;
    default:
        return 0;
    }
}

// Not part of the plug-in interface: lets the tests see the events the host delivered.
TESTPLUGIN_EXPORT const char *TestPluginEvents(void)
{
    return g_events.c_str();
}
