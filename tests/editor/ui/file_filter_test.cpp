// The file dialogs' filters as Qt shows them: each pattern list once, the description unchanged.

#include <QtTest/QtTest>

#include "dialogs/qt_dialogs.h"

namespace corv::dialogs {

class FileFilterTest : public QObject {
    Q_OBJECT

private slots:
    void patternsFollowTheDescriptionOnce();
};

void FileFilterTest::patternsFollowTheDescriptionOnce() {
    QCOMPARE(qtNameFilter("Table File|*.tbl"), QStringLiteral("Table File (*.tbl)"));
    QCOMPARE(qtNameFilter("Text Files | *.txt; *.asc"), QStringLiteral("Text Files (*.txt *.asc)"));
    QCOMPARE(qtNameFilter("IPS files (*.ips)|*.ips"), QStringLiteral("IPS files (*.ips)"));
    // Other patterns in the description, or spaced otherwise, are text: the real list follows.
    QCOMPARE(qtNameFilter("All Files ( *.* )|*.*"), QStringLiteral("All Files ( *.* ) (*.*)"));
    QCOMPARE(qtNameFilter("ROM (*.smc)|*.smc;*.sfc"), QStringLiteral("ROM (*.smc) (*.smc *.sfc)"));
    QCOMPARE(qtNameFilter("Anything (*)"), QStringLiteral("Anything (*)"));
    // Several pairs are several choices, in their order.
    QCOMPARE(qtNameFilter("IPS files (*.ips)|*.ips|BPS files (*.bps)|*.bps"),
             QStringLiteral("IPS files (*.ips);;BPS files (*.bps)"));
    QCOMPARE(qtNameFilter("Text | *.txt | ROM | *.smc; *.sfc"), QStringLiteral("Text (*.txt);;ROM (*.smc *.sfc)"));
}

}  // namespace corv::dialogs

QTEST_MAIN(corv::dialogs::FileFilterTest)
#include "file_filter_test.moc"
