#include "common/palm/PmDBUtil.h"

#include <gtest/gtest.h>

#include "support/PalmFileBuilder.h"

namespace lazrine::palm {
namespace {

using lazrine::testing::PalmFileBuilder;

class Reader : public PmDBUtil {
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) { OpenBytes(bytes); }
};

class Writer : public PmDBUtil {
public:
    Writer() { BeginWrite(); }
};

TEST(PmDBUtilCString, OneByteLengthUpTo254ThenFFAndU16) {
    Writer w;
    ASSERT_TRUE(w.WriteCString(std::string(254, 'a')));
    EXPECT_EQ(w.Written().size(), 255u);
    EXPECT_EQ(w.Written()[0], 254);

    Writer w2;
    ASSERT_TRUE(w2.WriteCString(std::string(255, 'a')));
    ASSERT_EQ(w2.Written().size(), 258u);
    EXPECT_EQ(w2.Written()[0], 0xFF);
    EXPECT_EQ(w2.Written()[1], 255);
    EXPECT_EQ(w2.Written()[2], 0);

    Writer empty;
    ASSERT_TRUE(empty.WriteCString(""));
    EXPECT_EQ(empty.Written(), std::vector<std::uint8_t>{0});
}

TEST(PmDBUtilCString, TextsOf65536BytesOrMoreAreRefusedNotWrapped) {
    Writer ok;
    EXPECT_TRUE(ok.WriteCString(std::string(65535, 'x')));
    Writer w;
    EXPECT_FALSE(w.WriteCString(std::string(65536, 'x')));
    EXPECT_FALSE(w.LastError().empty());
    EXPECT_TRUE(w.Written().empty());
}

TEST(PmDBUtilCString, ReadRespectsCapacityAndTheEndOfTheData) {
    PalmFileBuilder b;
    b.CString(std::string(300, 'q'));
    {
        Reader r(b.Bytes());
        std::string out;
        std::size_t length = 0;
        EXPECT_FALSE(r.ReadCString(out, 260, &length));
        EXPECT_EQ(length, 300u);
    }
    {
        Reader r(b.Bytes());
        std::string out;
        EXPECT_TRUE(r.ReadCString(out, 300));
        EXPECT_EQ(out, std::string(300, 'q'));
    }
    // A length that runs past the data fails instead of reading beyond it.
    std::vector<std::uint8_t> cut = b.Bytes();
    cut.resize(100);
    Reader r(cut);
    std::string out;
    EXPECT_FALSE(r.ReadCString(out, 65535));
}

// A text field read as a PmFileText is the same text a view reader sees,
// in either length form (a short text in the long form too); a text that
// runs past the data fails.
TEST(PmDBUtilFields, FileTextTargetsReadEveryLengthFormAsTheViewReaderDoes) {
    const auto longForm = [](const std::string& text) {
        PalmFileBuilder b;
        b.U32(5).U32(1).U8(0xFF).U16(static_cast<std::uint16_t>(text.size())).Raw(text);
        return b.Bytes();
    };
    const auto field = [](const std::string& text) { return PalmFileBuilder().StringField(text).Bytes(); };
    const struct {
        std::vector<std::uint8_t> bytes;
        std::string text;
    } cases[] = {
        {field(""), ""},
        {field("Beaverton"), "Beaverton"},
        {field(std::string(254, 'a')), std::string(254, 'a')},
        {field(std::string(255, 'b')), std::string(255, 'b')},
        {field(std::string(65535, 'c')), std::string(65535, 'c')},
        {longForm("short"), "short"},
    };
    for (const auto& c : cases) {
        Reader r(c.bytes);
        PmFileText text;
        ASSERT_TRUE(r.ReadField({&text})) << c.text.size();
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(r.Remaining(), 0u);
        Reader views(c.bytes);
        std::string_view view;
        ASSERT_TRUE(views.ReadField({&view}));
        EXPECT_EQ(text.View(), view);
    }
    std::vector<std::uint8_t> cut = field(std::string(300, 'q'));
    cut.resize(200);
    Reader r(cut);
    PmFileText text;
    EXPECT_FALSE(r.ReadField({&text}));
    EXPECT_TRUE(text.empty());
}

TEST(PmDBUtilFields, IntegerReaderAcceptsTags136Only) {
    for (const std::uint32_t tag : {1u, 3u, 6u}) {
        PalmFileBuilder b;
        b.IntField(77, tag);
        Reader r(b.Bytes());
        std::uint32_t v = 0;
        EXPECT_TRUE(r.ReadIntField(v)) << tag;
        EXPECT_EQ(v, 77u);
    }
    PalmFileBuilder b;
    b.IntField(77, 5);
    Reader r(b.Bytes());
    std::uint32_t v = 0;
    EXPECT_FALSE(r.ReadIntField(v));
}

TEST(PmDBUtilFields, EmptyStringConsumesNoTextAndLongTextIsKeptWhole) {
    PalmFileBuilder b;
    b.StringField("").U32(0xDEADBEEF).StringField(std::string(9000, 'n'), 7);
    Reader r(b.Bytes());
    std::string text = "old";
    std::uint32_t attr = 0;
    ASSERT_TRUE(r.ReadStringField(text, attr));
    EXPECT_TRUE(text.empty());
    std::uint32_t marker = 0;
    ASSERT_TRUE(r.ReadLong(marker));
    EXPECT_EQ(marker, 0xDEADBEEFu);
    ASSERT_TRUE(r.ReadStringField(text, attr));
    EXPECT_EQ(text.size(), 9000u);
    EXPECT_EQ(attr, 7u);
}

TEST(PmDBUtilBlobs, EachFormConsumesItsDocumentedSize) {
    PalmFileBuilder b;
    b.U32(64).U32(0);                                        // form 0: 8 bytes
    b.U32(65).U32(2).U32(11).U32(12).U32(3).U8(1).U8(2).U8(3);  // form 2: 23 bytes
    b.U32(66).U32(10).Raw(std::string(10, 'z'));              // form 10: 18 bytes
    Reader r(b.Bytes());
    PmBlobField blob;
    ASSERT_TRUE(r.ReadBlobField(blob));
    EXPECT_EQ(r.Tell(), 8u);
    ASSERT_TRUE(r.ReadBlobField(blob));
    EXPECT_EQ(r.Tell(), 31u);
    EXPECT_EQ(blob.nValueA, 11u);
    EXPECT_EQ(blob.data, (std::vector<std::uint8_t>{1, 2, 3}));
    ASSERT_TRUE(r.ReadBlobField(blob));
    EXPECT_EQ(r.Tell(), 49u);
    EXPECT_EQ(blob.nDataLength, 10u);
    EXPECT_EQ(blob.data.size(), 10u);

    Writer w;
    ASSERT_TRUE(w.WriteBlobField(blob));
    EXPECT_EQ(std::vector<std::uint8_t>(b.Bytes().begin() + 31, b.Bytes().end()), w.Written());
}

TEST(PmDBUtilBlobs, HeldBytesSplitAndDecodeAsTheFieldReaderReadsThem) {
    PalmFileBuilder b;
    b.U32(64).U32(0);
    b.U32(65).U32(2).U32(11).U32(12).U32(3).U8(1).U8(2).U8(3);
    b.U32(66).U32(10).Raw(std::string(10, 'z'));
    const std::vector<std::uint8_t> bytes = b.Bytes();
    PmBlobBytes held;
    PmFieldRef ref{&held};
    Reader r(bytes);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(r.ReadField(ref));
    }
    EXPECT_EQ(std::vector<std::uint8_t>(held.bytes.begin(), held.bytes.end()), bytes)
        << "kept exactly as the file held them";
    Reader again(bytes);
    for (std::uint32_t i = 0; i < 4; ++i) {
        PmBlobField blob;
        ASSERT_TRUE(again.ReadBlobField(blob) || i == 3);
        EXPECT_EQ(held.Field(i), i == 3 ? PmBlobField{} : blob) << "field " << i;
    }

    // Cut anywhere inside a field: that field and those after it are not held.
    for (std::size_t cut : {4u, 8u + 19u, 31u + 17u}) {
        PmBlobBytes partial{{bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)}};
        const std::size_t whole = cut < 8 ? 0 : cut < 31 ? 1 : 2;
        EXPECT_TRUE(partial.FieldBytes(whole).empty()) << cut;
        EXPECT_EQ(PmBlobBytes::FieldSize(std::span(bytes).first(cut)), cut < 8 ? 0u : 8u) << cut;
    }
}

TEST(PmDBUtilBlobs, CorruptLengthsFailWithoutAllocatingThem) {
    PalmFileBuilder huge;
    huge.U32(64).U32(1).U32(0).U32(0).U32(0xFFFFFFF0u).U8(1);
    Reader r(huge.Bytes());
    PmBlobField blob;
    EXPECT_FALSE(r.ReadBlobField(blob));
    EXPECT_TRUE(blob.data.empty());

    PalmFileBuilder bigForm;
    bigForm.U32(64).U32(0x7FFFFFFF);
    Reader r2(bigForm.Bytes());
    EXPECT_FALSE(r2.ReadBlobField(blob));

    PmBlobField missing;
    missing.nForm = 1;
    missing.nDataLength = 4;
    Writer w;
    EXPECT_FALSE(w.WriteBlobField(missing));
}

TEST(PmDBUtilPrimitives, ReadsAreLittleEndianAndStopAtTheEnd) {
    Reader r({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    std::uint32_t l = 0;
    std::uint16_t s = 0;
    std::uint8_t b = 0;
    ASSERT_TRUE(r.ReadLong(l));
    EXPECT_EQ(l, 0x04030201u);
    ASSERT_TRUE(r.ReadShort(s));
    EXPECT_EQ(s, 0x0605);
    EXPECT_FALSE(r.ReadShort(s));
    ASSERT_TRUE(r.ReadByte(b));
    EXPECT_EQ(b, 7);
    EXPECT_FALSE(r.ReadByte(b));
    std::uint8_t buf[4];
    std::size_t n = sizeof buf;
    ASSERT_TRUE(r.ReadBytesCounted(buf, n));
    EXPECT_EQ(n, 0u);
}

TEST(PmDBUtilCategories, SectionReadsWithUnfiledSafeNamesAndWholeNames) {
    PalmFileBuilder b;
    b.U32(131).U32(2);
    b.U32(1).U32(3).U32(1).CString("Work/Home").CString("whatever");
    b.U32(5).U32(7).U32(0).CString("A name of twenty chr").CString("x");
    Reader r(b.Bytes());
    ASSERT_TRUE(r.ReadCategorySection());
    const PmCategoryMgr* mgr = r.GetCategoryMgr();
    ASSERT_NE(mgr, nullptr);
    EXPECT_EQ(mgr->Count(), 3);
    EXPECT_EQ(mgr->AtIndex(0)->GetName(), "Unfiled");
    EXPECT_EQ(mgr->AtIndex(1)->GetSafeName(), "Work_Home");
    EXPECT_EQ(mgr->AtIndex(5)->GetName(), "A name of twenty chr");
    EXPECT_FALSE(mgr->IsModified());
    std::string name;
    EXPECT_TRUE(r.GetCategoryText(7, name));
    EXPECT_EQ(name, "A name of twenty chr");
    EXPECT_FALSE(r.GetCategoryText(99, name));
}

TEST(PmDBUtilCategories, RefusesIdZeroDuplicatesAndOverlongNamesButNotASixteenth) {
    const auto section = [](const std::vector<std::pair<std::uint32_t, std::uint32_t>>& entries,
                            std::size_t nameLength = 4) {
        PalmFileBuilder b;
        b.U32(128).U32(static_cast<std::uint32_t>(entries.size()));
        for (const auto& [index, id] : entries) {
            b.U32(index).U32(id).U32(0).CString(std::string(nameLength, 'c')).CString("");
        }
        return b.Bytes();
    };
    EXPECT_FALSE(Reader(section({{1, 0}})).ReadCategorySection());
    EXPECT_FALSE(Reader(section({{1, 4}, {2, 4}})).ReadCategorySection());
    std::vector<std::pair<std::uint32_t, std::uint32_t>> fifteen;
    for (std::uint32_t i = 1; i <= 15; ++i) {
        fifteen.emplace_back(i, i + 10);
    }
    EXPECT_TRUE(Reader(section(fifteen)).ReadCategorySection());
    auto twenty = fifteen;
    for (std::uint32_t i = 15; i <= 19; ++i) {
        twenty.emplace_back(i, i + 90);
    }
    Reader many(section(twenty));
    ASSERT_TRUE(many.ReadCategorySection());
    EXPECT_EQ(many.GetCategoryMgr()->Count(), 21);
    EXPECT_TRUE(Reader(section({{1, 4}}, 256)).ReadCategorySection());
    EXPECT_FALSE(Reader(section({{1, 4}}, 257)).ReadCategorySection());
    EXPECT_TRUE(Reader(section({{16, 4}})).ReadCategorySection());

    Reader empty(section({}));
    ASSERT_TRUE(empty.ReadCategorySection());
    EXPECT_EQ(empty.GetCategoryMgr()->Count(), 1);
}

}  // namespace
}  // namespace lazrine::palm
