#include "startup/name_template.h"

#include <gtest/gtest.h>

namespace vellum::startup {

TEST(NameFromTemplate, FillsTheTokensAndKeepsTheNameRules) {
    const NameFacts facts{
        "Microsoft Word - Offer: draft.docx", "alice", "Vellum PDF", "PC7", {2026, 3, 4, 5, 6, 7}};
    const NameFacts untitled{"", "bob", "", "", {2026, 12, 31, 23, 59, 58}};
    const std::string longTitle(300, 'a');
    const struct {
        const char* pattern;
        const NameFacts& facts;
        std::string name;
        std::string unknown;
    } rows[] = {
        {"<title>", facts, "Offer - draft", ""},
        {"<DATE> <time> <user> on <computer> via <printer>", facts,
         "2026-03-04 05-06-07 alice on PC7 via Vellum PDF", ""},
        {"<date>_<title>", facts, "2026-03-04_Offer - draft", ""},
        {"<title>", untitled, "Vellum 2026-12-31 23-59-58", ""},
        {"<title><printer>", untitled, "Vellum 2026-12-31 23-59-58", ""},
        {"<user>/<title>?", untitled, "bob-", ""},
        {"<author> <title>", facts, "(author) Offer - draft", "<author>"},
        {"Scan <tittle", facts, "Scan (tittle", ""},
        {"x<title>", {longTitle, "", "", "", {}}, "x" + std::string(246, 'a'), ""},
    };
    for (const auto& row : rows) {
        const TemplateName made = NameFromTemplate(row.pattern, row.facts, "C:\\PDF");
        std::string unknown;
        for (const std::string& token : made.unknown) unknown += token;
        EXPECT_EQ(made.name, row.name) << row.pattern;
        EXPECT_EQ(unknown, row.unknown) << row.pattern;
    }
}

}  // namespace vellum::startup
