#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "core/model/WindowModel.h"

using namespace squadlink;

namespace {

// The control members as declared in the model's header: `Kind name{"name"...`; every
// control is constructed with its own name first.
std::set<std::string> declaredControls() {
    std::ifstream header(SQUADLINK_SOURCE_DIR "/src/core/model/WindowModel.h");
    std::stringstream text;
    text << header.rdbuf();
    const std::string source = text.str();
    const std::regex member(R"re(\n\s*([A-Z]\w*)\s+(\w+)\s*\{\s*\n?\s*"(\w+)")re");
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), member);
         it != std::sregex_iterator(); ++it) {
        EXPECT_EQ((*it)[2].str(), (*it)[3].str()) << "a control named after another member";
        names.insert((*it)[2].str());
    }
    return names;
}

TEST(WindowModel_, ListsEveryDeclaredControlOnceAndEachUnderItsOwnName) {
    WindowModel model;
    std::set<std::string> listed;
    for (Control* control : model.controls()) {
        EXPECT_TRUE(listed.insert(control->name()).second) << control->name() << " listed twice";
    }
    for (Timer* timer : model.timers()) {
        EXPECT_TRUE(listed.insert(timer->name()).second) << timer->name() << " listed twice";
    }
    const std::set<std::string> declared = declaredControls();
    ASSERT_GT(declared.size(), 50u);
    EXPECT_EQ(listed, declared);
}

}  // namespace
