#include <gtest/gtest.h>

#include "files/SaveName.h"

namespace uroflow {
namespace {

TEST(SaveName, ExtensionDecidesWhatIsWritten) {
    struct Case {
        const char* name;
        SaveTarget target;
        const char* saveAs;
    };
    const Case cases[] = {
        {"a.txt", SaveTarget::StudyFile, "a.txt"},
        {"a.TXT", SaveTarget::StudyFile, "a.TXT"},
        {"a.Txt", SaveTarget::StudyFile, "a.Txt"},
        {"a.xlsx", SaveTarget::Excel, "a.xlsx"},
        {"a.XLSX", SaveTarget::Excel, "a.XLSX"},
        {"a", SaveTarget::StudyFile, "a.txt"},
        {"a.", SaveTarget::Rejected, "a."},
        {"a.doc", SaveTarget::Rejected, "a.doc"},
        {"a.txt.doc", SaveTarget::Rejected, "a.txt.doc"},
        {"dir.with.dot/name", SaveTarget::StudyFile, "dir.with.dot/name.txt"},
        {"dir.with.dot/name.txt", SaveTarget::StudyFile, "dir.with.dot/name.txt"},
        {"/home/u/dir.xlsx/day", SaveTarget::StudyFile, "/home/u/dir.xlsx/day.txt"},
        {"/home/u/Иванов.xlsx", SaveTarget::Excel, "/home/u/Иванов.xlsx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(classifySaveName(c.name), c.target);
        EXPECT_EQ(withDefaultSuffix(c.name), c.saveAs);
    }
}

}  // namespace
}  // namespace uroflow
