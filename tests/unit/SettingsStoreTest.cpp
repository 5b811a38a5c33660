#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/SettingsStore.h"
#include "support/FakeServices.h"

namespace squadlink {
namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    FakeSettings backend;
    SettingsStore store{backend};
};

TEST_F(SettingsStoreTest, KeyTableListsEveryKeyOnceWithItsDefault) {
    ASSERT_EQ(SettingsStore::kKeyCount, 26u);
    std::set<std::string> names;
    for (std::size_t i = 0; i < SettingsStore::kKeyCount; ++i) {
        names.insert(SettingsStore::kAllKeys[i]);
    }
    EXPECT_EQ(names.size(), SettingsStore::kKeyCount);

    EXPECT_EQ(SettingsStore::defaultText(key::ClientMode), "True");
    EXPECT_EQ(SettingsStore::defaultText(key::ServerMode), "False");
    EXPECT_EQ(SettingsStore::defaultText(key::LastTab), "0");
    EXPECT_EQ(SettingsStore::defaultText(key::NotifySound), "1");
    EXPECT_EQ(SettingsStore::defaultText(key::NotifyPopup), "0");
    EXPECT_EQ(SettingsStore::defaultText(key::NotifyFeedback), "0");
    EXPECT_EQ(SettingsStore::defaultText(key::Autoconnect), "1");
    EXPECT_EQ(SettingsStore::defaultText(key::AutoCM), "0");
    EXPECT_EQ(SettingsStore::defaultText(key::Brightness), "100");
    EXPECT_EQ(SettingsStore::defaultText(key::Contrast), "100");
    EXPECT_EQ(SettingsStore::defaultText(key::Gamma), "100");
    EXPECT_EQ(SettingsStore::defaultText(key::Smiley1), "False");
    EXPECT_EQ(SettingsStore::defaultText(key::Smiley2), "True");
    EXPECT_EQ(SettingsStore::defaultText(key::Smiley3), "False");
    EXPECT_EQ(SettingsStore::defaultText(key::Home), "www.squadlink.org/Squadlink");
    EXPECT_EQ(SettingsStore::defaultText(key::MonthCheck), "0");
    for (const char* text : {key::Nick, key::Server, key::Game, key::HLPath, key::CDPath, key::Temp,
                             key::TempPass, key::TempAddress}) {
        EXPECT_EQ(SettingsStore::defaultText(text), "") << text;
    }
    EXPECT_EQ(SettingsStore::defaultText("NoSuchKey"), "");
}

TEST_F(SettingsStoreTest, MissingKeysReadAsTheirFallback) {
    EXPECT_TRUE(store.readBool(key::ClientMode, true));
    EXPECT_EQ(store.readCheck(key::Autoconnect, 1), 1);
    EXPECT_EQ(store.readCheck(key::NotifyPopup, 0), 0);
    EXPECT_EQ(store.readInt(key::Brightness, 100), 100);
    EXPECT_DOUBLE_EQ(store.readNumber(key::Left, 12.5), 12.5);
    EXPECT_EQ(store.readText(key::Nick), "");
    EXPECT_EQ(store.readText(key::Home, SettingsStore::defaultText(key::Home)),
              "www.squadlink.org/Squadlink");
}

TEST_F(SettingsStoreTest, WritesTheProgramsTextForms) {
    store.writeBool(key::ClientMode, true);
    store.writeBool(key::ServerMode, false);
    store.writeCheck(key::NotifySound, 1);
    store.writeCheck(key::NotifyPopup, 0);
    store.writeInt(key::LastTab, 4);
    store.writeInt(key::Brightness, -35);
    store.writeNumber(key::Left, 1234.0);
    store.writeNumber(key::Top, 1234.5);
    EXPECT_EQ(backend.values[key::ClientMode], "True");
    EXPECT_EQ(backend.values[key::ServerMode], "False");
    EXPECT_EQ(backend.values[key::NotifySound], "1");
    EXPECT_EQ(backend.values[key::NotifyPopup], "0");
    EXPECT_EQ(backend.values[key::LastTab], "4");
    EXPECT_EQ(backend.values[key::Brightness], "-35");
    EXPECT_EQ(backend.values[key::Left], "1234");
    EXPECT_EQ(backend.values[key::Top], "1234.5");
}

TEST_F(SettingsStoreTest, LargeAndNegativePositionsStayPlainDecimals) {
    store.writeNumber(key::Left, -15360.25);
    store.writeNumber(key::Top, 30000000.0);
    EXPECT_EQ(backend.values[key::Left], "-15360.25");
    EXPECT_EQ(backend.values[key::Top], "30000000");
    EXPECT_DOUBLE_EQ(store.readNumber(key::Left, 0), -15360.25);
    EXPECT_DOUBLE_EQ(store.readNumber(key::Top, 0), 30000000.0);
}

struct BoolCase {
    const char* stored;
    bool expected;
};

class SettingsBoolTest : public SettingsStoreTest,
                         public ::testing::WithParamInterface<BoolCase> {};

TEST_P(SettingsBoolTest, ReadsBooleanText) {
    backend.values[key::Smiley2] = GetParam().stored;
    EXPECT_EQ(store.readBool(key::Smiley2, !GetParam().expected), GetParam().expected)
        << GetParam().stored;
}

INSTANTIATE_TEST_SUITE_P(Forms, SettingsBoolTest,
                         ::testing::Values(BoolCase{"True", true}, BoolCase{"False", false},
                                           BoolCase{"TRUE", true}, BoolCase{"false", false},
                                           BoolCase{" True ", true}, BoolCase{"1", true},
                                           BoolCase{"-1", true}, BoolCase{"0", false},
                                           BoolCase{"0.0", false}, BoolCase{"2.5", true}));

struct BadCase {
    const char* key;
    const char* stored;
};

class SettingsCorruptTest : public SettingsStoreTest,
                            public ::testing::WithParamInterface<BadCase> {};

// One bad value must not lock the user out at every start: it reads as the default.
TEST_P(SettingsCorruptTest, UnconvertibleValueReadsAsFallback) {
    backend.values[GetParam().key] = GetParam().stored;
    EXPECT_EQ(store.readBool(GetParam().key, true), true);
    EXPECT_EQ(store.readBool(GetParam().key, false), false);
    EXPECT_EQ(store.readCheck(GetParam().key, 1), 1);
    EXPECT_EQ(store.readInt(GetParam().key, 7), 7);
    EXPECT_DOUBLE_EQ(store.readNumber(GetParam().key, 2.5), 2.5);
    EXPECT_EQ(store.readText(GetParam().key, "x"), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Values, SettingsCorruptTest,
                         ::testing::Values(BadCase{key::NotifySound, "banana"},
                                           BadCase{key::Left, "abc"}, BadCase{key::LastTab, "x"},
                                           BadCase{key::Top, "12abc"}, BadCase{key::Gamma, ""},
                                           BadCase{key::Contrast, "1,5"},
                                           BadCase{key::Brightness, "inf"},
                                           BadCase{key::Brightness, "nan"},
                                           BadCase{key::Left, "--5"}, BadCase{key::Left, "+-5"},
                                           BadCase{key::Left, "0x10"}));

TEST_F(SettingsStoreTest, NumbersAcceptBlanksSignsAndFractions) {
    backend.values[key::LastTab] = " 3 ";
    EXPECT_EQ(store.readInt(key::LastTab, 0), 3);
    backend.values[key::LastTab] = "+2";
    EXPECT_EQ(store.readInt(key::LastTab, 0), 2);
    backend.values[key::LastTab] = "2.5";
    EXPECT_EQ(store.readInt(key::LastTab, 0), 2);  // halves round to even
    backend.values[key::LastTab] = "3.5";
    EXPECT_EQ(store.readInt(key::LastTab, 0), 4);
    backend.values[key::Left] = "-12.75";
    EXPECT_DOUBLE_EQ(store.readNumber(key::Left, 0), -12.75);
}

TEST_F(SettingsStoreTest, IntegerOverflowReadsAsFallback) {
    backend.values[key::MonthCheck] = "99999999999";
    EXPECT_EQ(store.readInt(key::MonthCheck, 0), 0);
}

TEST_F(SettingsStoreTest, CheckBoxesAcceptOnlyZeroAndOne) {
    backend.values[key::NotifySound] = "0";
    EXPECT_EQ(store.readCheck(key::NotifySound, 1), 0);
    backend.values[key::NotifySound] = "1";
    EXPECT_EQ(store.readCheck(key::NotifySound, 0), 1);
    backend.values[key::NotifySound] = "5";
    EXPECT_EQ(store.readCheck(key::NotifySound, 1), 1);
    backend.values[key::NotifySound] = "True";
    EXPECT_EQ(store.readCheck(key::NotifySound, 0), 0);
}

TEST_F(SettingsStoreTest, DeletingWhatIsNotThereReportsFalse) {
    EXPECT_FALSE(store.remove(key::Temp));
    EXPECT_FALSE(store.removeSection());
    store.writeText(key::Temp, "1.2.3.4");
    EXPECT_TRUE(store.remove(key::Temp));
    EXPECT_FALSE(store.remove(key::Temp));
    store.writeText(key::Nick, "Orvell");
    EXPECT_TRUE(store.removeSection());
    EXPECT_TRUE(backend.values.empty());
}

}  // namespace
}  // namespace squadlink
