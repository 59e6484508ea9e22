#include "arguments.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "fakes/fake_path_mapper.h"

namespace vellum::testbed {
namespace {

std::vector<std::string> Translate(std::vector<std::wstring> args) {
    return TranslateArguments(args, FakePathMapper());
}

using Args = std::vector<std::string>;

TEST(LauncherArguments, VellumCommandLineMapsEveryPathAndNothingElse) {
    EXPECT_EQ(
        Translate({L"-IC:\\gs\\lib;C:\\gs\\fonts", L"-sDEVICE=pdfwrite", L"-r300", L"-q",
                   L"-sPAPERSIZE=a4", L"-sOutputFile=C:\\Out Dir\\r.pdf", L"-c", L"save", L"pop",
                   L"-f", L"C:\\Spool\\job 12.ps"}),
        (Args{"-I/c/gs/lib:/c/gs/fonts", "-sDEVICE=pdfwrite", "-r300", "-q", "-sPAPERSIZE=a4",
              "-sOutputFile=/c/out dir/r.pdf", "-c", "save", "pop", "-f", "/c/spool/job 12.ps"}));
}

TEST(LauncherArguments, PermittedFilesAndPathValuedDefinesAreMapped) {
    EXPECT_EQ(Translate({L"--permit-file-read=C:\\gs\\a.icc;C:\\b", L"-sPDFAProfile=C:\\gs\\a.icc",
                         L"-sColorConversionStrategy=RGB"}),
              (Args{"--permit-file-read=/c/gs/a.icc:/c/b", "-sPDFAProfile=/c/gs/a.icc",
                    "-sColorConversionStrategy=RGB"}));
}

TEST(LauncherArguments, SearchPathSkipsEmptyEntriesAndTakesTheSeparateForm) {
    EXPECT_EQ(Translate({L"-I;C:\\lib\\;;C:\\fonts;"}), (Args{"-I/c/lib/:/c/fonts"}));
    EXPECT_EQ(Translate({L"-I", L"C:\\lib;C:\\fonts"}), (Args{"-I", "/c/lib:/c/fonts"}));
    EXPECT_EQ(Translate({L"-I"}), (Args{"-I"}));
}

TEST(LauncherArguments, OutputFileFormsAndDevices) {
    EXPECT_EQ(Translate({L"-sOutputFile", L"C:\\a.pdf", L"-o", L"C:\\b.pdf"}),
              (Args{"-sOutputFile", "/c/a.pdf", "-o", "/c/b.pdf"}));
    EXPECT_EQ(Translate({L"-sOutputFile=%stdout%", L"-sOutputFile=-", L"-sOutputFile=|lpr"}),
              (Args{"-sOutputFile=%stdout%", "-sOutputFile=-", "-sOutputFile=|lpr"}));
    // A relative output file is still a file.
    EXPECT_EQ(Translate({L"-sOutputFile=out.pdf"}), (Args{"-sOutputFile=/out.pdf"}));
}

TEST(LauncherArguments, PostScriptAfterDashCStaysUntilDashF) {
    EXPECT_EQ(Translate({L"-c", L"(C:\\x) print", L"job.ps", L"-fC:\\a.ps", L"C:\\b.ps"}),
              (Args{"-c", "(C:\\x) print", "job.ps", "-f/c/a.ps", "/c/b.ps"}));
}

TEST(LauncherArguments, BareArgumentsMapWhenTheyExistOrLookLikeWindowsPaths) {
    EXPECT_EQ(Translate({L"job.ps", L"missing.ps", L"d:x.ps", L"a\\b.ps", L"-dNOPAUSE", L"-"}),
              (Args{"/job.ps", "missing.ps", "/dx.ps", "/a/b.ps", "-dNOPAUSE", "-"}));
    EXPECT_TRUE(LooksLikeWindowsPath(L"z:"));
    EXPECT_FALSE(LooksLikeWindowsPath(L"1:2"));
    EXPECT_FALSE(LooksLikeWindowsPath(L"/usr/share"));
}

TEST(LauncherArguments, MappingFailureIsNotHidden) {
    EXPECT_THROW(Translate({L"-sOutputFile=Q:\\unmapped"}), std::runtime_error);
}

}  // namespace
}  // namespace vellum::testbed
