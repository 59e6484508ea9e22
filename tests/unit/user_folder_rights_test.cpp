#include "convert/trusted_folder.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"
#include "startup/kept_job.h"
#include "startup/saving_plan.h"

namespace vellum::convert {

// A folder made for one user gets that user's rights when Vellum makes it, and so does one an
// earlier version made in Vellum's own machine folders, whose list is still inherited.
TEST(UserFolderRights, GivenWhenMadeOrLeftInheritedInVellumsOwnFoldersElseLeftAlone) {
    using toolkit::OwnerKind;
    const std::string folder = "C:\\ProgramData\\Vellum\\Unsaved\\alice";
    const std::string alices = OwnFolderAccess("S-1-5-21-7-1001");
    const toolkit::OpenedFacts inherited{true, false, OwnerKind::Administrators, "BUILTIN", true};
    const struct {
        const char* what;
        std::optional<toolkit::OpenedFacts> found;  // none: not there yet
        bool vellumsOwn;
        const char* user;
        std::string expected;  // the rights set, then the problem and the note
    } rows[] = {
        {"made", std::nullopt, false, "alice", alices + " |  | "},
        {"found inherited in Vellum's own", inherited, true, "alice",
         alices + " |  | The folder " + folder +
             ", made by an earlier version, was given its user's own rights."},
        {"found inherited elsewhere", inherited, false, "alice", " |  | "},
        {"found protected", toolkit::OpenedFacts{true, false, OwnerKind::System, "SYSTEM"}, true,
         "alice", " |  | "},
        {"a link", toolkit::OpenedFacts{true, true, OwnerKind::System, "SYSTEM", true}, true,
         "alice", " | It is a link (a junction or symbolic link), which is never followed. | "},
        {"user unknown", inherited, true, "ghost",
         std::string(toolkit::kMachineOnlyAccess) +
             " |  | The user ghost was not found: only "
             "SYSTEM and the Administrators may open the "
             "folder " +
             folder + "."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        FakeFileSystem files;
        files.accounts = {{"alice", "S-1-5-21-7-1001"}};
        if (row.found) files.folders.insert(folder), files.handleFacts[folder] = *row.found;
        const TrustedFolder got =
            MakeTrustedFolder(files, folder, folder, row.user, row.vellumsOwn);
        std::string access;
        for (const std::string& entry : files.log)
            if (entry.rfind("access " + folder + " ", 0) == 0)
                access += entry.substr(8 + folder.size());
        EXPECT_EQ(access + " | " + got.problem + " | " + got.note, row.expected);
        EXPECT_EQ(got.held != nullptr, got.problem.empty());
    }
    // Vellum's own: the unseen job's Failed folder always, the folder that took it as planned.
    const auto places = startup::KeepPlaces(
        startup::SaveStep{startup::SaveWay::IntoFolder, "E:\\Out", "Doc", "no window"},
        "C:\\ProgramData\\Vellum", "alice");
    ASSERT_EQ(places.size(), 2u);
    EXPECT_FALSE(places[0].vellumsOwn);
    EXPECT_TRUE(places[1].vellumsOwn);
    const startup::JobEnvironment environment{[](const std::string&) { return std::nullopt; },
                                              [](const std::string&) { return true; },
                                              {},
                                              "C:\\ProgramData\\Vellum"};
    settings::SettingsRecord record;
    record.autoDir = "E:\\Out\\<user>";
    const startup::SavingPlan unseen =
        startup::PlanSaving(record, {"j", "Doc", "alice"}, environment);
    EXPECT_FALSE(unseen.first.vellumsOwn);
    EXPECT_TRUE(unseen.fallback && unseen.fallback->vellumsOwn);
}

}  // namespace vellum::convert
