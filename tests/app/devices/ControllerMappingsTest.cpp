// Where mapping files are looked for: the system's folders first, the user's own last, so that
// the user's mapping of a controller wins over the one a shop shipped for every account.
#include "app/devices/ControllerMappings.h"

#include <QByteArray>

#include <gtest/gtest.h>

using namespace Tessarine;

TEST(ControllerMappings, TheUsersFileComesAfterTheSystemFoldersInReverseOrder) {
    const QByteArray home = qgetenv("XDG_DATA_HOME"), dirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", "/tmp/tessarine-home/data");
    qputenv("XDG_DATA_DIRS", "/tmp/tessarine-local/share:/tmp/tessarine-usr/share");
    const auto files = ControllerMappings::standardFiles();
    home.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", home);
    dirs.isNull() ? qunsetenv("XDG_DATA_DIRS") : qputenv("XDG_DATA_DIRS", dirs);
    EXPECT_EQ(files, (std::vector<std::string>{
                         "/tmp/tessarine-usr/share/com.quenlow.Tessarine/gamecontrollerdb.txt",
                         "/tmp/tessarine-local/share/com.quenlow.Tessarine/gamecontrollerdb.txt",
                         "/tmp/tessarine-home/data/com.quenlow.Tessarine/gamecontrollerdb.txt",
                     }));
}
