#include "startup/saving_plan.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "toolkit/paths.h"

namespace vellum::startup {

namespace {

std::string Describe(const SaveStep& step) {
    return step.mode + " " + toolkit::JoinPath(step.folder, step.name) + (step.addPages ? "+" : "");
}

// The plan in one line: first step, "> " its fallback, "! " the reason of a passed-over folder.
std::string Describe(const SavingPlan& plan) {
    std::string text = Describe(plan.first);
    if (plan.fallback) text += " > " + Describe(*plan.fallback);
    if (!plan.logNote.empty()) text += " # " + plan.logNote;
    if (!plan.notice.empty()) {
        const size_t reason = plan.notice.find("\r\n", plan.notice.find("\r\n") + 2) + 2;
        text += " ! " + plan.notice.substr(reason, plan.notice.find("\r\n", reason) - reason);
    }
    return text;
}

}  // namespace

TEST(PlanSaving, DecidesOnceWhereEveryJobGoes) {
    const std::map<std::string, std::string> variables = {{"HOMEDRIVE", "D:"}};
    const std::set<std::string> folders = {"C:\\PDF"};
    const JobEnvironment environment{
        [&](const std::string& name) -> std::optional<std::string> {
            const auto found = variables.find(name);
            if (found == variables.end()) return std::nullopt;
            return found->second;
        },
        [&](const std::string& folder) { return folders.count(folder) != 0; },
        {2026, 3, 4, 5, 6, 7},
        "C:\\ProgramData\\Vellum"};
    const std::string unsaved = "no window C:\\ProgramData\\Vellum\\Unsaved\\alice\\";
    const std::string notSet = " ! It names a variable that is not set: %UNDEFINED%.";
    const std::string notFull =
        " ! It is not a full path, such as C:\\PDF or \\\\server\\share\\PDF.";
    const struct {
        bool seen;
        const char* saveMode;
        const char* autoDir;
        const char* defDir;
        const char* title;
        std::string plan;
        const char* autoExisting = "unique";
        const char* autoName = "";
    } rows[] = {
        {true, "ask", "E:\\Out", "C:\\PDF", "Microsoft Word - report.docx",
         "asked C:\\PDF\\report.pdf"},
        {true, "ask", "", "C:\\Gone", "report", "asked report.pdf"},
        {true, "ask", "", "C:\\PDF", "", "asked C:\\PDF\\"},
        {true, "auto", "", "C:\\PDF", "report",
         "automatic C:\\PDF\\report > asked C:\\PDF\\report.pdf"},
        {true, "auto", "  ", "C:\\PDF", "report",
         "automatic C:\\PDF\\report > asked C:\\PDF\\report.pdf"},
        {true, "auto", "%HOMEDRIVE%\\PDF\\<user>", "C:\\PDF", "",
         "automatic D:\\PDF\\alice\\Vellum 2026-03-04 05-06-07 > asked C:\\PDF\\"},
        {true, "auto", "%UNDEFINED%\\x", "C:\\PDF", "report", "asked C:\\PDF\\report.pdf" + notSet},
        {true, "auto", "PDF\\out", "C:\\PDF", "report", "asked C:\\PDF\\report.pdf" + notFull},
        {false, "ask", "", "", "report", unsaved + "report"},
        {false, "auto", "", "C:\\PDF", "report", unsaved + "report"},
        {false, "ask", "E:\\Out", "", "",
         "no window E:\\Out\\Vellum 2026-03-04 05-06-07 > " + unsaved +
             "Vellum 2026-03-04 05-06-07"},
        {false, "ask", "\\\\server\\pdf\\<user>", "", "report",
         "no window \\\\server\\pdf\\alice\\report > " + unsaved + "report"},
        {false, "ask", "C:\\ProgramData\\Vellum\\Unsaved\\<user>", "", "report",
         unsaved + "report"},
        {false, "ask", "%UNDEFINED%\\x", "", "report", unsaved + "report" + notSet},
        {false, "ask", "%Q%\\x", "", "report",
         unsaved + "report ! It names a variable that is not set: %Q%."},
        {false, "ask", "C:out", "", "report", unsaved + "report" + notFull},
        {false, "ask", "E:/Out", "", "report", "no window E:/Out\\report > " + unsaved + "report"},
        {true, "auto", "E:\\Out", "C:\\PDF", "report",
         "automatic E:\\Out\\2026-03-04 report+ > asked C:\\PDF\\report.pdf", "append",
         "<date> <title>"},
        {false, "ask", "", "", "", unsaved + "alice (x)+ # autoName: tokens kept as written: <x>",
         "append", "<user> <x>"},
    };
    for (const auto& row : rows) {
        settings::SettingsRecord record;
        record.saveMode = row.saveMode;
        record.autoDir = row.autoDir;
        record.defDir = row.defDir;
        record.autoExisting = row.autoExisting;
        record.autoName = row.autoName;
        const PrintJob job{"C:\\spool\\job.ps", row.title, "alice", row.seen};
        EXPECT_EQ(Describe(PlanSaving(record, job, environment)), row.plan)
            << row.seen << " " << row.saveMode << " " << row.autoDir;
    }
}

TEST(PlanSaving, AUserNameIsOneFolderWhateverItHolds) {
    const JobEnvironment environment{[](const std::string&) { return std::nullopt; },
                                     [](const std::string&) { return false; },
                                     {},
                                     ""};
    EXPECT_EQ(ExpandFolderSetting("E:\\<user>\\%X%", environment, "DOM\\alice"),
              "E:\\DOM_alice\\%X%");
    EXPECT_EQ(ExpandFolderSetting("E:\\<user>", environment, ""), "E:\\_");
    EXPECT_EQ(ExpandFolderSetting("E:\\<user>", environment, "con"), "E:\\con_");
    EXPECT_EQ(ExpandFolderSetting("E:\\<user>", environment, "Lpt9.x"), "E:\\Lpt9_.x");
    EXPECT_EQ(UserFolderOf("E:\\<user>\\PDF", environment, "bob"), "E:\\bob");
}

}  // namespace vellum::startup
