#pragma once
// The editor's main window on the demo game for the Qt tests: the demo files in a folder of
// their own that is the working folder (the start directory), dialogs answered by script, and
// helpers to open the demo through the menu and to draw what the preview library draws.

#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest/QtTest>

#include <fstream>
#include <iterator>
#include <memory>

#include "dialogs/scripted_dialogs.h"
#include "editor/ui/hex_data_window.h"
#include "editor/ui/insert_progress_window.h"
#include "editor/ui/kana_dump_window.h"
#include "editor/ui/kana_text_window.h"
#include "editor/ui/list_data_window.h"
#include "editor/ui/main_window.h"
#include "editor/ui/script_memo.h"
#include "editor/ui/text_editor_window.h"
#include "editor/ui/video_box.h"
#include "preview/string_preview.h"
#include "support/temp_folder.h"
#include "support/widget_lookup.h"
#include "tools/demo/demo_game.h"

namespace corv::editor::testing {

namespace fs = std::filesystem;
using corv::testing::Named;

inline std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline QStringList Items(const QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
}

inline QStringList Messages(const dialogs::ScriptedDialogs& dialogs) {
    QStringList out;
    for (const std::string& text : dialogs.messages()) out << QString::fromStdString(text);
    return out;
}

class EditorFixture {
public:
    EditorFixture() : previousFolder_(QDir::currentPath()) {
        if (!demo::WriteDemoFiles(game(), folder_.path())) qFatal("cannot write the demo files");
        QDir::setCurrent(QString::fromStdString(folder_.path().string()));
        form = std::make_unique<MainWindow>(dialogs);
        form->showWindowSet();
    }
    ~EditorFixture() {
        form.reset();
        QDir::setCurrent(previousFolder_);
    }

    static const demo::DemoGame& game() {
        static const demo::DemoGame built = demo::BuildDemoGame();
        return built;
    }
    static const demo::DemoBlock& textBlock(size_t n) {
        return game().blocks.at(static_cast<size_t>(game().textBlocks.at(n)));
    }

    [[nodiscard]] fs::path file(const char* name) const { return folder_.path() / name; }
    [[nodiscard]] const fs::path& folder() const { return folder_.path(); }

    // File > Open ROM File with the ROM and then the data file chosen.
    void open(const char* rom = demo::kRomFileName) {
        dialogs.replyOpenFile(file(rom));
        dialogs.replyOpenFile(file(demo::kBlockDataFileName));
        Named<QAction>(*form, "OpenBinaryTextData1")->trigger();
    }

    [[nodiscard]] ScriptMemo* memo() const { return Named<ScriptMemo>(*form, "TDMemo"); }

    // Puts the caret at the start of line `line` of the Text Editor.
    void caretToLine(int line) const {
        QTextCursor cursor(memo()->document()->findBlockByNumber(line));
        memo()->setTextCursor(cursor);
    }

    // What the preview library draws for string `index` of the chosen block with `scriptText`
    // (the picture corvtool preview writes), at the paint box's size, the views scrolled by the
    // given pixel rows.
    [[nodiscard]] QImage expectedPreview(unsigned index, const std::string& scriptText, int kanaScroll = 0,
                                         int asciiScroll = 0) const {
        const EditorSession& session = form->session();
        script::MemoryScriptText copy(scriptText);
        const auto previewBytes = preview::EncodeEntryPreview(copy, index, session.table().characterMap());
        preview::StringPreviewInput input;
        input.characters = &session.table().characterMap();
        input.romData = session.rom().data();
        input.gameFont = session.gameFont();
        input.block = session.index().block();
        input.blockIndex = static_cast<uint32_t>(session.index().currentBlock().value_or(0));
        input.stringIndex = index;
        input.kanaScroll = kanaScroll;
        input.asciiScroll = asciiScroll;
        if (previewBytes) input.previewBytes = std::span<const uint8_t>(*previewBytes);
        script::CodeMaps maps;
        const auto load = script::ParseBlockDataFile(game().blockDataFile, maps);
        script::DataFileSettings settings;
        script::ApplySettings(settings, load.operations);
        preview::PreviewScreen screen;
        preview::RenderStringPreview(screen, input, preview::PreviewOptionsOf(settings), load.format);
        const QImage image(reinterpret_cast<const uchar*>(screen.bits()), static_cast<int>(screen.width()),
                           static_cast<int>(screen.height()),
                           static_cast<qsizetype>(screen.pitch() * sizeof(preview::Pixel)), QImage::Format_RGB16);
        return image.copy();
    }

    dialogs::ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> form;

private:
    corv::testing::TempFolder folder_{"editor-main-window"};
    QString previousFolder_;
};

}  // namespace corv::editor::testing
