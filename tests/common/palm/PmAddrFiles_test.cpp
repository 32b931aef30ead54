// The two address record files: layout, name order, custom labels, whole
// texts and byte-exact round trips of the classic and the extended file.
#include <gtest/gtest.h>

#include "common/palm/PmAddrExUtil.h"
#include "common/palm/PmAddrUtil.h"
#include "support/FuzzHarness.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using Bytes = std::vector<std::uint8_t>;

ContactRecordLayout RichContact() {
    ContactRecordLayout c;
    c.id = 8400001;
    c.status = 0x04;
    c.placement = 3;
    c.category = 7;
    c.priv = 1;
    c.firstName = "Ren\xe9" "e";
    c.lastName = "M\xfcller";
    c.title = std::string(40, 'T');                      // longer than the common record's 32
    c.company = "Caf\xe9 M\xfcller " + std::string(300, 'c');  // longer than any member
    c.note = "Line one\r\nLine two \x80\r\n" + std::string(3000, 'n');
    c.phones = {"+41 44 555 1200", "555-0101", "555-0102", "555-0103",
                "renee.mueller.with.a.long.address@example.com", "555-0105", "555-0106"};
    c.phoneLabels = {0, 1, 2, 3, 4, 5, 7};
    for (std::size_t i = 0; i < c.custom.size(); ++i) {
        c.custom[i] = "Custom value " + std::to_string(i + 1) + std::string(i == 8 ? 260 : 0, 'x');
    }
    c.addresses = {{{std::string(270, 's'), "Z\xfcrich", "ZH", "8001", "Switzerland"},
                    {"4 Elm Court", "Beaverton", "OR", "97005", "USA"},
                    {"1 Other Way", "Bern", "BE", "3000", "CH"}}};
    c.chat1 = "renee.chat";
    c.chat2 = "rm";
    c.webPage = "http://example.com/" + std::string(300, 'w');
    c.birthday = {1, 2, 3, 4, 5, 6, 7, 8};
    c.extras = {11, 12, 13, 14, 15, 16, 1, 18, 19};
    c.extraTexts = {"x1", "x2", "x3", "x4"};
    c.blobs[1] = {65, 2, 7, 8, {1, 2, 3}};
    c.extraTextA = "ea";
    c.extraTextB = "eb";
    return c;
}

ContactFileLayout SampleMemoFile(bool swapped) {
    ContactFileLayout spec;
    spec.swapped = swapped;
    spec.categories = {{1, 1, 0, "Business", "Business"}, {2, 7, 0, "Family", "Family"}};
    for (std::size_t i = 0; i < spec.customLabels.size(); ++i) {
        spec.customLabels[i] = "Label " + std::to_string(i + 1);
        spec.customLabelValues[i] = 0x1000u + static_cast<std::uint32_t>(i);  // carried, not zeroed
    }
    spec.customLabels[8] = std::string(40, 'L');  // longer than Palm Desktop's 32
    spec.headerBlock[12] = 2;
    spec.headerBlock[13] = 0x10;
    spec.nameBlock = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    for (std::size_t i = 0; i < spec.labelBlock.size(); ++i) {
        spec.labelBlock[i] = static_cast<std::uint8_t>(i * 3);
    }
    spec.headerText = "Palm Address Book\r\nline 2\nline 3\nline 4\nline 5 of the show header\nline 6\n";
    ContactRecordLayout plain;
    plain.id = 8400002;
    plain.firstName = "Anna";
    plain.lastName = "Lee";
    plain.phones[0] = "555-0100";
    plain.phoneLabels = {0, 0, 0, 0, 0, 0, 0};
    spec.contacts = {RichContact(), plain};
    return spec;
}

class AddrFilesTest : public TempDirTest {};

TEST_F(AddrFilesTest, ExtendedFileReadsEveryPositionWhole) {
    const ContactFileLayout spec = SampleMemoFile(false);
    PmAddrExUtil store;
    ASSERT_TRUE(store.Load(Put(BuildExtendedAddressFile(spec), "address.dat"))) << store.LastError();
    ASSERT_EQ(store.Count(), 2u);
    const PmAddrExRec& r = store.GetDataMgr().At(0);
    const ContactRecordLayout& c = spec.contacts[0];
    EXPECT_EQ(r.nRecordId, c.id);
    EXPECT_EQ(r.nStatus, c.status);
    EXPECT_EQ(r.szFirstName, c.firstName);
    EXPECT_EQ(r.szLastName, c.lastName);
    EXPECT_EQ(r.szTitle, c.title);
    EXPECT_EQ(r.szCompany, c.company);
    EXPECT_EQ(r.szNote, c.note);
    EXPECT_EQ(r.szCategory, "Family");
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(r.aPhones[i], c.phones[i]);
        EXPECT_EQ(r.aPhoneLabels[i], c.phoneLabels[i]);
    }
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(r.aCustom[i], c.custom[i]);
    }
    EXPECT_EQ(r.WorkAddress.szStreet, c.addresses[0][0]);
    EXPECT_EQ(r.HomeAddress.szCity, "Beaverton");
    EXPECT_EQ(r.OtherAddress.szCountry, "CH");
    EXPECT_EQ(r.szWebPage, c.webPage);
    EXPECT_EQ(r.qBirthday, (PmQuad{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(r.nExtraK, 19u);
    EXPECT_EQ(r.szExtraF, "x4");
    EXPECT_EQ(store.GetCustomLabels().aLabels[8], std::string(40, 'L'));
    EXPECT_EQ(store.GetCustomLabels().aValues[3], 0x1003u);
}

TEST_F(AddrFilesTest, ClassicFileReadsEveryPositionWhole) {
    const ContactFileLayout spec = SampleMemoFile(false);
    PmAddrUtil store;
    ASSERT_TRUE(store.Load(Put(BuildClassicAddressFile(spec), "address.dat"))) << store.LastError();
    ASSERT_EQ(store.Count(), 2u);
    const PmAddrRec& r = store.GetDataMgr().At(0);
    const ContactRecordLayout& c = spec.contacts[0];
    EXPECT_EQ(r.szFirstName, c.firstName);
    EXPECT_EQ(r.szLastName, c.lastName);
    EXPECT_EQ(r.szCompany, c.company);
    EXPECT_EQ(r.szNote, c.note);
    EXPECT_EQ(r.szCategory, "Family");
    EXPECT_EQ(r.nPrivate, 1u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r.aPhones[i], c.phones[i]);
        EXPECT_EQ(r.aPhoneLabels[i], c.phoneLabels[i]) << "label taken from the position before its phone";
    }
    EXPECT_EQ(r.Address.szStreet, c.addresses[0][0]);
    EXPECT_EQ(r.aCustom[3], c.custom[3]);
    EXPECT_EQ(r.nExtraC, 11u);
    // The header text is kept whole, all six lines of it.
    EXPECT_EQ(store.GetHeaderText(), spec.headerText);
}

// Both generations, both name orders: a load followed by a save writes the
// file back byte for byte, to the file that was loaded, with a backup.
struct RoundTripCase {
    const char* name;
    Bytes (*build)(const ContactFileLayout&);
    bool classic;
    bool swapped;
};

class AddrRoundTrip : public AddrFilesTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(AddrRoundTrip, LoadAndSaveIsByteExactWhateverTheNameOrder) {
    const RoundTripCase& tc = GetParam();
    ContactFileLayout spec = SampleMemoFile(tc.swapped);
    spec.recordedName = "C:\\Elsewhere\\address.dat";  // not where the file is
    const Bytes original = tc.build(spec);
    const std::string path = Put(original, "address.dat");
    const auto check = [&](auto& store) {
        store.SetSwapName(tc.swapped);
        ASSERT_TRUE(store.Load(path)) << store.LastError();
        const auto& first = store.GetDataMgr().At(0);
        EXPECT_EQ(first.szFirstName, spec.contacts[0].firstName) << "the setting names the stored order";
        EXPECT_EQ(first.szLastName, spec.contacts[0].lastName);
        // A setting changed after the load does not move the names.
        store.SetSwapName(!tc.swapped);
        ASSERT_TRUE(store.Save()) << store.LastError();
        EXPECT_EQ(ReadFileBytes(path), original);
        EXPECT_EQ(ReadFileBytes(path + ".lazrine.bak"), original);
        EXPECT_EQ(store.GetRecordedName(), "C:\\Elsewhere\\address.dat");
    };
    if (tc.classic) {
        PmAddrUtil store;
        check(store);
    } else {
        PmAddrExUtil store;
        check(store);
    }
}

INSTANTIATE_TEST_SUITE_P(Generations, AddrRoundTrip,
                         ::testing::Values(RoundTripCase{"ExtendedSwap0", &BuildExtendedAddressFile, false, false},
                                           RoundTripCase{"ExtendedSwap1", &BuildExtendedAddressFile, false, true},
                                           RoundTripCase{"ClassicSwap0", &BuildClassicAddressFile, true, false},
                                           RoundTripCase{"ClassicSwap1", &BuildClassicAddressFile, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddrFilesTest, UndeleteChangesOnlyTheStatusWord) {
    const ContactFileLayout spec = SampleMemoFile(false);
    PmAddrExUtil store;
    ASSERT_TRUE(store.Load(Put(BuildExtendedAddressFile(spec), "address.dat")));
    store.SetStatusAt(0, PmUndeletedStatus(store.StatusAt(0)));
    Bytes saved;
    ASSERT_TRUE(store.WriteToMemory(saved));
    ContactFileLayout expected = spec;
    expected.contacts[0].status = 0x01;
    EXPECT_EQ(saved, BuildExtendedAddressFile(expected));
}

TEST_F(AddrFilesTest, ExtendedBirthdayIsWrittenBackWithTheTagItWasStoredWith) {
    ContactFileLayout spec = SampleMemoFile(false);
    spec.contacts[0].birthdayTag = 1;
    PmAddrExUtil store;
    ASSERT_TRUE(store.Load(Put(BuildExtendedAddressFile(spec), "address.dat")));
    Bytes saved;
    ASSERT_TRUE(store.WriteToMemory(saved));
    EXPECT_EQ(saved, BuildExtendedAddressFile(spec));
}

// Schemas the record layout cannot follow fail clearly; nothing is saved.
struct SchemaCase {
    const char* name;
    bool classic;
    std::uint32_t fieldsPerRecord;
    std::size_t typeCount;
    bool loads;
};

class AddrSchema : public AddrFilesTest, public ::testing::WithParamInterface<SchemaCase> {};

TEST_P(AddrSchema, OnlyTheDescribedLayoutIsRewritten) {
    const SchemaCase& tc = GetParam();
    ContactFileLayout spec = SampleMemoFile(false);
    spec.fieldsPerRecord = tc.fieldsPerRecord;
    spec.fieldTypes = tc.classic ? ClassicAddressTypes() : ExtendedAddressTypes();
    spec.fieldTypes.resize(tc.typeCount, 1);
    const Bytes original = tc.classic ? BuildClassicAddressFile(spec) : BuildExtendedAddressFile(spec);
    const std::string path = Put(original, "address.dat");
    const auto check = [&](auto& store) {
        const bool loaded = store.Load(path);
        EXPECT_EQ(loaded, tc.loads) << store.LastError();
        if (!loaded) {
            EXPECT_FALSE(store.LastError().empty());
            EXPECT_EQ(store.Count(), 0u);
        }
        EXPECT_FALSE(store.Save());
        EXPECT_FALSE(store.LastError().empty());
        EXPECT_EQ(ReadFileBytes(path), original);
    };
    if (tc.classic) {
        PmAddrUtil store;
        check(store);
    } else {
        PmAddrExUtil store;
        check(store);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AddrSchema,
    ::testing::Values(SchemaCase{"ExtendedMoreTypesThanTheTable", false, 74, 74, false},
                      SchemaCase{"ExtendedNoFieldsPerRecord", false, 0, 73, false},
                      SchemaCase{"ExtendedCountOutOfStep", false, 72, 73, true},
                      SchemaCase{"ClassicMoreTypesThanTheTable", true, 30, 31, false},
                      SchemaCase{"ClassicMoreFieldsPerRecord", true, 31, 30, false},
                      SchemaCase{"ClassicNoFieldsPerRecord", true, 0, 30, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AddrFilesTest, OtherKindsAndDamagedLabelsAreRefused) {
    ContactFileLayout spec = SampleMemoFile(false);
    spec.versionTag = 0x4D500200;  // a memo file's tag
    PmAddrExUtil extended;
    EXPECT_FALSE(extended.Load(Put(BuildExtendedAddressFile(spec), "a.dat")));
    EXPECT_FALSE(extended.LastError().empty());
    spec = SampleMemoFile(false);
    Bytes cut = BuildExtendedAddressFile(spec);
    // End the file inside the label block: after the ninth label's value.
    cut.resize(24 + 4 + 24 + 1 + spec.recordedName.size() + 11 + 9 * 5 + 8 * 7 + 40 + 10);
    EXPECT_FALSE(extended.Load(Put(cut, "b.dat")));
    EXPECT_EQ(extended.Count(), 0u);
    PmAddrUtil classic;
    EXPECT_FALSE(classic.Load(Put(BuildExtendedAddressFile(SampleMemoFile(false)), "c.dat")));
}

// The fuzz targets' properties on every prefix of the sample files and on
// single damaged bytes: a clean failure or an exact round trip, never a
// crash or a read past the data.
TEST_F(AddrFilesTest, DamagedFilesFailCleanlyOrRoundTrip) {
    for (const bool swapped : {false, true}) {
        const ContactFileLayout spec = SampleMemoFile(swapped);
        const Bytes extended = BuildExtendedAddressFile(spec);
        const Bytes classic = BuildClassicAddressFile(spec);
        for (std::size_t n = 0; n <= extended.size(); n += 97) {
            EXPECT_EQ(FuzzHarness::ExtendedAddressFile({extended.data(), n}), "") << n;
        }
        for (std::size_t n = 0; n <= classic.size(); n += 89) {
            EXPECT_EQ(FuzzHarness::ClassicAddressFile({classic.data(), n}), "") << n;
        }
        for (std::size_t at = 0; at < 400 && at < classic.size(); at += 3) {
            Bytes e = extended;
            e[at] ^= 0x5A;
            EXPECT_EQ(FuzzHarness::ExtendedAddressFile(e), "") << at;
            Bytes c = classic;
            c[at] ^= 0xA5;
            EXPECT_EQ(FuzzHarness::ClassicAddressFile(c), "") << at;
        }
    }
}

}  // namespace
}  // namespace lazrine::palm
