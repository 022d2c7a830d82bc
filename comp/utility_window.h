#pragma once
// The utility's one window: a list box that logs what the commands did, and the menu. The
// window only asks (through dialogs::Dialogs), shows and appends; the work is in utility_state.h,
// area_walk.h and listing_recompress.h.

#include <QMainWindow>

#include <vector>

#include "comp/utility_state.h"

class QAction;
class QCloseEvent;
class QListWidget;
class QMenu;

namespace corv::dialogs {
class Dialogs;
}

namespace corv::comp {

class UtilityWindow final : public QMainWindow {
    Q_OBJECT

public:
    // The process's current folder at this moment becomes the start directory (FormCreate).
    // `dialogs` must outlive the window.
    explicit UtilityWindow(dialogs::Dialogs& dialogs, QWidget* parent = nullptr);
    ~UtilityWindow() override;

    [[nodiscard]] const UtilityState& state() const { return state_; }
    // True while a listing is being recompressed (events are let through meanwhile).
    [[nodiscard]] bool busy() const { return busy_; }

    // Opens `rom` as Open ROM File does once its dialog has chosen it (a ROM from the command line).
    void openRomAt(const std::filesystem::path& rom);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void openRomFile();
    void saveRomFile();
    void exitProgram();
    // Serves the three area items; the item's tag (QAction::data) picks the area.
    void decompressChosenArea();
    void recompressFromListing();

private:
    // The window's parts, each created with its designer name (in the comment) as objectName,
    // by which the tests find it.
    struct Widgets {
        QListWidget* log = nullptr;                // ListBox1
        QMenu* fileMenu = nullptr;                 // File1
        QAction* openRom = nullptr;                // OpenROMFile1
        QAction* saveRom = nullptr;                // SaveROMFile1
        QAction* exit = nullptr;                   // Exit1
        QMenu* editMenu = nullptr;                 // Edit1
        QMenu* decompressMenu = nullptr;           // DecompressBlock1
        QAction* decompressGraphics = nullptr;     // Graphics1
        QAction* decompressData = nullptr;         // Data1
        QAction* decompressText = nullptr;         // Text1
        QAction* recompress = nullptr;             // RecompressBlock1
        QAction* fitHarder = nullptr;              // FitHarderWhenOver1, checkable

        // What must not run while a listing is recompressed: nothing may take the ROM away.
        std::vector<QAction*> disabledWhileBusy;
    };

    void buildMenu();
    void showLines(bool clearFirst, const std::vector<std::string>& lines);
    void setRomCommandsEnabled(bool enabled);

    Widgets ui_;
    dialogs::Dialogs& dialogs_;
    UtilityState state_;
    bool busy_ = false;
    bool closeRequested_ = false;
};

}  // namespace corv::comp
