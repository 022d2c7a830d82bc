#include "about/help_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "dialogs/dialogs.h"

namespace corv::about {

QMenu* AddHelpMenu(QMenuBar& bar, dialogs::Dialogs& dialogs, std::string aboutText) {
    QMenu* help = bar.addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction* about = help->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("About1"));
    about->setMenuRole(QAction::AboutRole);
    QObject::connect(about, &QAction::triggered, &bar,
                     [&dialogs, text = std::move(aboutText)] { dialogs.message(text); });
    return help;
}

}  // namespace corv::about
