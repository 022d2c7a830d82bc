#pragma once
// The utility's one window: a list box that logs what the commands did, and the menu. The
// window only asks (through ui::Dialogs), shows and appends; the work is in utility_state.h,
// area_walk.h and listing_recompress.h.

#include <QMainWindow>

#include "comp/utility_state.h"

class QAction;
class QCloseEvent;
class QListWidget;
class QMenu;

namespace corv::ui {
class Dialogs;
}

namespace corv::comp {

class UtilityWindow final : public QMainWindow {
    Q_OBJECT

public:
    // The process's current folder at this moment becomes the start directory (FormCreate).
    // `dialogs` must outlive the window.
    explicit UtilityWindow(ui::Dialogs& dialogs, QWidget* parent = nullptr);
    ~UtilityWindow() override;

    QListWidget* ListBox1 = nullptr;
    QMenu* File1 = nullptr;
    QAction* OpenROMFile1 = nullptr;
    QAction* SaveROMFile1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* DecompressBlock1 = nullptr;
    QAction* Graphics1 = nullptr;
    QAction* Data1 = nullptr;
    QAction* Text1 = nullptr;
    QAction* RecompressBlock1 = nullptr;

    [[nodiscard]] const UtilityState& state() const { return state_; }
    // True while a listing is being recompressed (events are let through meanwhile).
    [[nodiscard]] bool busy() const { return busy_; }

    // Opens `rom` as Open ROM File does once its dialog has chosen it (a ROM from the command line).
    void openRomFile(const std::filesystem::path& rom);

public slots:
    void OpenROMFile1Click();
    void SaveROMFile1Click();
    void Exit1Click();
    // Serves the three area items; the item's tag (QAction::data) picks the area.
    void Graphics1Click();
    void RecompressBlock1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    void showLines(bool clearFirst, const std::vector<std::string>& lines);
    void setRomCommandsEnabled(bool enabled);

    ui::Dialogs& dialogs_;
    UtilityState state_;
    bool busy_ = false;
    bool closeRequested_ = false;
};

}  // namespace corv::comp
