#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "core/model/WindowModel.h"

using namespace squadlink;

namespace {

// The control members as declared in the model's header, each constructed with its own name
// first: `Kind name{"name"...` or, for a control array, `std::array<Kind, N>
// name{Kind{"name(0)"}...`.
std::set<std::string> declaredControls() {
    std::ifstream header(SQUADLINK_SOURCE_DIR "/src/core/model/WindowModel.h");
    std::stringstream text;
    text << header.rdbuf();
    const std::string source = text.str();
    const std::regex single(R"re(\n\s*[A-Z]\w*\s+(\w+)\s*\{\s*\n?\s*"(\w+)")re");
    const std::regex array(R"re(\n\s*std::array<[A-Z]\w*,\s*(\d+)>\s+(\w+)\s*\{)re");
    std::set<std::string> names;
    for (auto it = std::sregex_iterator(source.begin(), source.end(), single);
         it != std::sregex_iterator(); ++it) {
        EXPECT_EQ((*it)[1].str(), (*it)[2].str()) << "a control named after another member";
        names.insert((*it)[1].str());
    }
    for (auto it = std::sregex_iterator(source.begin(), source.end(), array);
         it != std::sregex_iterator(); ++it) {
        for (int i = 0; i < std::stoi((*it)[1].str()); ++i) {
            names.insert((*it)[2].str() + "(" + std::to_string(i) + ")");
        }
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
