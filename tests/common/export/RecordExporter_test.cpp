// Every export format read back by an independent parser (libical for
// iCalendar, small RFC readers for vCard and CSV, nlohmann for JSON), its
// values compared with the records.
#include <gtest/gtest.h>
#include <libical/ical.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <nlohmann/json.hpp>
#include <sstream>

#include "common/export/ExportSource.h"
#include "common/export/ExportStreamSink.h"
#include "common/export/MemoTextWriter.h"
#include "common/export/RecordExporter.h"
#include "common/palm/PmRecordSetFactory.h"
#include "platform/LocalClock.h"
#include "platform/TextCodec.h"
#include "support/CsvReader.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"
#include "support/VCardReader.h"

namespace lazrine::exporting {
namespace {

using namespace lazrine::testing;
using Format = ExportFormat::Id;

std::string Utf8(const std::string& cp1252) { return platform::TextCodec::Cp1252ToUtf8(cp1252); }

// iCalendar and the memo text have one kind of line break.
std::string Lf(std::string text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

struct IcalFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using IcalPtr = std::unique_ptr<icalcomponent, IcalFree>;

class ExportTest : public TempDirTest {
protected:
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }

    std::unique_ptr<palm::PmRecordSet> Load(const std::string& kind, const std::string& path) {
        auto set = palm::PmRecordSetFactory::Create(kind);
        set->SetIncludeDeleted(true);
        EXPECT_TRUE(set->LoadFile(path)) << set->LastError();
        return set;
    }
    static std::vector<std::size_t> All(const palm::PmRecordSet& set) {
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < set.CommonCount(); ++i) {
            rows.push_back(i);
        }
        return rows;
    }
    static std::string Export(palm::PmRecordSet& set, Format format, const std::string& zone = {}) {
        RecordExporter exporter(set, format);
        exporter.SetTimeZone(zone);
        std::ostringstream out;
        ExportStreamSink sink(out);
        std::string error;
        EXPECT_TRUE(exporter.Write(All(set), sink, error)) << error;
        return out.str();
    }
    static IcalPtr ParseIcal(const std::string& text) {
        IcalPtr cal(icalparser_parse_string(text.c_str()));
        EXPECT_NE(cal, nullptr);
        EXPECT_EQ(icalcomponent_isa(cal.get()), ICAL_VCALENDAR_COMPONENT);
        return cal;
    }
};

// Texts that break careless writers: separators of every format, quotes,
// each kind of line break, Windows-1252 letters and a text far longer than
// any buffer.
const std::vector<std::string>& HardTexts() {
    static const std::vector<std::string> texts{
        "a, b; c",
        "say \"hi\" \\ back\\slash",
        "line one\r\nline two\r\n\r\nline four",
        "caf\xE9 M\xFCller \x80 20",
        "BEGIN:VCARD\r\nEND:VEVENT",
        std::string(9000, 'x') + "\xE9,;\"",
    };
    return texts;
}

// The JSON is written directly, not through a JSON library: it must be the
// library's own compact form of the same object, byte for byte.
TEST_F(ExportTest, JsonIsTheCompactFormOfItsObject) {
    MemoFileLayout spec;
    std::string everyByte;
    for (int c = 1; c < 256; ++c) {
        everyByte.push_back(static_cast<char>(c));
    }
    spec.memos.push_back(MakeMemo(1, 0x84, everyByte));
    for (const auto& text : HardTexts()) {
        spec.memos.push_back(MakeMemo(static_cast<std::uint32_t>(spec.memos.size() + 1), 0x00, text));
    }
    auto set = Load("memos", Put(BuildExtendedMemoFile(spec)));
    const std::string json = Export(*set, Format::kJson);
    using Json = nlohmann::ordered_json;
    EXPECT_EQ(json, Json::parse(json).dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
}

TEST_F(ExportTest, MemoTextsSurviveTextCsvAndJson) {
    MemoFileLayout spec;
    std::uint32_t id = 1;
    for (const auto& text : HardTexts()) {
        spec.memos.push_back(MakeMemo(id++, 0x84, text));
    }
    auto set = Load("memos", Put(BuildExtendedMemoFile(spec)));

    const std::string text = Export(*set, Format::kText);
    std::vector<std::string> parts;
    const std::string sep = std::string("\n") + MemoTextWriter::kSeparator + "\n";
    std::size_t at = 0;
    for (auto next = text.find(sep); next != std::string::npos; next = text.find(sep, at)) {
        parts.push_back(text.substr(at, next - at));
        at = next + sep.size();
    }
    ASSERT_EQ(text.back(), '\n');
    parts.push_back(text.substr(at, text.size() - at - 1));

    std::vector<std::vector<std::string>> rows;
    std::string error;
    ASSERT_TRUE(ReadCsv(Export(*set, Format::kCsv), rows, error)) << error;
    ASSERT_EQ(rows.size(), HardTexts().size() + 1);
    EXPECT_EQ(rows[0][3], "Note");

    const auto doc = nlohmann::json::parse(Export(*set, Format::kJson));
    ASSERT_EQ(parts.size(), HardTexts().size());
    for (std::size_t i = 0; i < HardTexts().size(); ++i) {
        const std::string want = Utf8(HardTexts()[i]);
        EXPECT_EQ(parts[i], Lf(want)) << i;  // one line end throughout
        EXPECT_EQ(rows[i + 1][3], want) << i;
        EXPECT_EQ(doc["records"][i]["fields"]["Note"], want) << i;
    }
}

TEST_F(ExportTest, ContactTextsSurviveVCardAndCsv) {
    ContactFileLayout spec;
    spec.customLabels[0] = "Birthday; \"day\"";
    spec.categories.push_back({1, 1, 0, "Work, old", ""});
    std::uint32_t id = 1;
    for (const auto& text : HardTexts()) {
        ContactRecordLayout c;
        c.id = id++;
        c.status = 0x04;
        c.category = 1;
        c.firstName = text.substr(0, 200);
        c.lastName = "L" + text.substr(0, 100);
        c.company = text;
        c.note = text;
        c.phones = {"w" + text.substr(0, 20), "h", "f", "o", "e@example.com", "m", "c"};
        c.custom[0] = text;
        c.addresses[1] = {text, "City;", "St,", "12345", "Land\r\nX"};
        spec.contacts.push_back(c);
    }
    auto set = Load("contacts", Put(BuildExtendedAddressFile(spec), "address.dat"));

    std::vector<VCardReader::Card> cards;
    std::string error;
    ASSERT_TRUE(VCardReader().Parse(Export(*set, Format::kVCard), cards, error)) << error;
    ASSERT_EQ(cards.size(), HardTexts().size());
    std::vector<std::vector<std::string>> rows;
    ASSERT_TRUE(ReadCsv(Export(*set, Format::kCsv), rows, error)) << error;
    ASSERT_EQ(rows.size(), HardTexts().size() + 1);
    const auto column = [&rows](const std::string& name) {
        return static_cast<std::size_t>(std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin());
    };
    const std::size_t company = column("Company");
    const std::size_t note = column("Note");
    ASSERT_LT(note, rows[0].size());
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const std::string text = Utf8(HardTexts()[i]);
        const std::string lf = Lf(text);
        const auto& card = cards[i];
        const auto n = card.Find("N")->Components();
        ASSERT_EQ(n.size(), 5u);
        EXPECT_EQ(n[0], Lf(Utf8("L" + HardTexts()[i].substr(0, 100))));
        EXPECT_EQ(n[1], Lf(Utf8(HardTexts()[i].substr(0, 200))));
        EXPECT_EQ(card.Find("ORG")->Text(), lf);
        EXPECT_EQ(card.Find("NOTE")->Text(), lf);
        EXPECT_EQ(card.Find("TEL", "WORK")->Text(), Lf(Utf8("w" + HardTexts()[i].substr(0, 20))));
        EXPECT_EQ(card.Find("TEL", "CELL")->Text(), "c");
        const auto tels = card.FindAll("TEL");
        ASSERT_EQ(tels.size(), 6u);
        EXPECT_EQ(tels[4]->params.at("X-LABEL"), "Main");
        EXPECT_EQ(tels[4]->params.at("TYPE"), "VOICE");
        EXPECT_EQ(tels[4]->Text(), "m");
        EXPECT_EQ(card.Find("EMAIL")->Text(), "e@example.com");
        EXPECT_EQ(card.Find("CATEGORIES")->Text(), "Work, old");
        const auto* adr = card.Find("ADR", "HOME");
        ASSERT_NE(adr, nullptr);
        EXPECT_EQ(adr->Components(), (std::vector<std::string>{"", "", lf, "City;", "St,", "12345", "Land\nX"}));
        EXPECT_EQ(card.Find("ADR", "WORK"), nullptr);
        const auto* custom = card.Find("X-LAZRINE-CUSTOM");
        ASSERT_NE(custom, nullptr);
        EXPECT_EQ(custom->Text(), lf);
        EXPECT_EQ(custom->params.at("X-LABEL"), "Birthday;  day ");
        EXPECT_EQ(rows[i + 1][company], text);  // whole, line breaks as stored
        EXPECT_EQ(rows[i + 1][note], text);
    }
}

TEST_F(ExportTest, CompanyOnlyContactIsNamedByItsCompany) {
    ContactFileLayout spec;
    ContactRecordLayout c;
    c.id = 9;
    c.company = "Acme";
    spec.contacts.push_back(c);
    auto set = Load("contacts", Put(BuildClassicAddressFile(spec), "address.dat"));
    std::vector<VCardReader::Card> cards;
    std::string error;
    ASSERT_TRUE(VCardReader().Parse(Export(*set, Format::kVCard), cards, error)) << error;
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].Find("FN")->Text(), "Acme");
    EXPECT_EQ(cards[0].Find("UID")->Text().rfind("lazrine-contact-9-", 0), 0u);
}

// Every field a contact holds, from each store generation, arrives in each
// format: in the vCard with its type and Palm's label, in CSV and JSON under
// the field table's names (the extra ones after the earlier names).
struct ContactCase {
    std::string store;
    std::uint32_t id;
    // Property, a TYPE it has (any when empty), its X-LABEL (not checked
    // when empty) and its text: some line of the card matches each.
    std::vector<std::array<std::string, 4>> vcard;
    std::vector<std::string> absent;  // properties the card has not
    std::vector<std::pair<std::string, std::string>> fields;
};

std::vector<ContactCase> ContactCases() {
    using V = std::array<std::string, 4>;
    return {
        {"extended", 21,
         {V{"TEL", "WORK", "Work", "w1"}, V{"TEL", "PAGER", "Pager", "pg"}, V{"TEL", "CELL", "Mobile", "m1"},
          V{"TEL", "CELL", "Mobile", "m2"}, V{"EMAIL", "INTERNET", "E-mail", "e1@x.example"},
          V{"EMAIL", "INTERNET", "E-mail", "e2@x.example"}, V{"TEL", "VOICE", "Main", "mn"},
          V{"X-ICQ", "", "Chat 1", "eva.icq"}, V{"X-LAZRINE-CHAT", "", "Chat 2", "eva.other"},
          V{"URL", "", "", "http://eva.example/"}, V{"BDAY", "", "", "1980-06-15"}, V{"CLASS", "", "", "PRIVATE"},
          V{"CATEGORIES", "", "", "Friends, old"}, V{"X-LAZRINE-CUSTOM", "", "Shoe", "c9tail"},
          V{"NOTE", "", "", "ab"}, V{"FN", "", "", "Eva Stone"}, V{"ADR", "POSTAL", "Other", ";;1 Way;;;;"}},
         {},
         {{"Pager", "pg"}, {"Phone 3", "m1"}, {"Phone 4 Label", "Mobile"}, {"Phone 4", "m2"}, {"Phone 7 Label", "Main"},
          {"Chat 1 Label", "AOL ICQ"}, {"Chat 1", "eva.icq"}, {"Chat 2 Label", "IM"}, {"Home Page", "http://eva.example/"},
          {"Birthday", "1980-06-15"}, {"Private", "Yes"}, {"CreationTime", ""}, {"LastModificationTime", ""}}},
        {"classic", 31,
         {V{"TEL", "PAGER", "Pager", "pg"}, V{"TEL", "HOME", "Home", "h1"}, V{"TEL", "HOME", "Home", "h2"},
          V{"TEL", "VOICE", "Other", "o"}, V{"EMAIL", "", "E-mail", "k@x.example"},
          V{"X-LAZRINE-CUSTOM", "", "Golf", "par 4"}, V{"X-LAZRINE-CUSTOM", "", "Custom 3", "c3"},
          V{"X-LAZRINE-CUSTOM", "", "Account", "A-1"}, V{"CLASS", "", "", "PRIVATE"}, V{"FN", "", "", "k@x.example"}},
         {"CATEGORIES", "URL", "BDAY"},
         {{"Pager", "pg"}, {"Phone 3 Label", "Home"}, {"Phone 3", "h2"}, {"Phone 6", ""}, {"Private", "Yes"},
          {"Custom 1", "par 4"}, {"CreationTime", ""}}},
        {"database", 4001,
         {V{"N", "", "", "Lee;Anna;Maria;Ms;"}, V{"FN", "", "", "Ms Anna Maria Lee"}, V{"NICKNAME", "", "", "Annie"},
          V{"ROLE", "", "", "Engineer"}, V{"BDAY", "", "", "1980-06-15"}, V{"TEL", "WORK", "Work", "+1 503 555 0100"},
          V{"TEL", "FAX", "Fax", "+1 503 555 0101"}, V{"TEL", "CELL", "Mobile", "+1 503 555 0102"},
          V{"TEL", "HOME", "Home", "+1 503 555 0103"}, V{"TEL", "VOICE", "Other", "+1 503 555 0104"},
          V{"TEL", "VOICE", "Assistant", "+1 503 555 0199"}, V{"TEL", "PAGER", "Pager", "555 7788"},
          V{"EMAIL", "WORK", "Work E-mail", "anna@leeconsulting.example"},
          V{"EMAIL", "INTERNET", "E-mail 1", "anna.lee@mail.example"}, V{"X-AIM", "", "Chat 1", "anna.lee"},
          V{"URL", "", "", "http://leeconsulting.example/"}, V{"X-LAZRINE-ASSISTANT", "", "", "Tom Baker"},
          V{"X-LAZRINE-CUSTOM", "", "Custom 1", "Golf"}, V{"X-LAZRINE-CUSTOM", "", "Custom 14", "C14 text"},
          V{"CATEGORIES", "", "", "Business"}, V{"ADR", "HOME", "Home", ";;4 Elm Court;Beaverton;OR;97005;USA"}},
         {"CLASS"},
         {{"Prefix", "Ms"}, {"Middle Name", "Maria"}, {"Nickname", "Annie"}, {"Profession", "Engineer"},
          {"Assistant Name", "Tom Baker"}, {"Assistant Phone", "+1 503 555 0199"}, {"Phone 2 Label", "Fax"},
          {"Phone 2", "+1 503 555 0101"}, {"Pager", "555 7788"}, {"Work E-Mail", "anna@leeconsulting.example"},
          {"E-Mail 1", "anna.lee@mail.example"}, {"Chat 1 Label", "AIM"}, {"Chat 1", "anna.lee"},
          {"Birthday", "1980-06-15"}, {"Home Page", "http://leeconsulting.example/"}, {"Custom 5", "C5 text"},
          {"Custom 10", "C10 text"}, {"Custom 14", "C14 text"}, {"Private", "No"}, {"CreationTime", ""}}},
        {"database", 4002,
         {V{"TEL", "VOICE", "Main", "555-0200"}, V{"TEL", "PAGER", "Pager", "555-0202"}, V{"CLASS", "", "", "PRIVATE"},
          V{"CATEGORIES", "", "", "Personal"}},
         {"BDAY", "NICKNAME"},
         {{"Pager", "555-0202"}, {"Phone 1 Label", "Main"}, {"Phone 3 Label", "Pager"}, {"Private", "Yes"}}},
        {"database", 4011, {V{"TEL", "CELL", "Mobile", "555-0500"}, V{"TEL", "CELL", "Mobile", "555-0501"}}, {}, {}},
        {"database", 4023, {V{"FN", "", "", "Julia King"}}, {"CATEGORIES", "TEL"}, {{"Phone 1", ""}}},
        {"database", 4025, {V{"FN", "", "", "Acme Plumbing"}, V{"TEL", "FAX", "Fax", "555-1301"}}, {}, {}},
    };
}

TEST_F(ExportTest, ContactsCarryEveryFieldWithItsTypeInEachFormat) {
    std::array<std::uint8_t, 8> birthday{};
    for (std::size_t k = 0; k < 8; ++k) {
        birthday[k] = static_cast<std::uint8_t>(std::uint64_t{329875200} >> (8 * k));
    }
    ContactFileLayout extended;
    extended.categories.push_back({1, 1, 0, "Friends, old", "Fr"});
    extended.customLabels[8] = "Shoe";
    ContactRecordLayout eva;
    eva.id = 21;
    eva.category = 1;
    eva.priv = 1;
    eva.firstName = "Eva";
    eva.lastName = "Stone";
    eva.note = std::string("a\0b", 3);
    eva.phones = {"w1", "pg", "m1", "m2", "e1@x.example", "e2@x.example", "mn"};
    eva.phoneLabels = {0, 6, 7, 7, 4, 4, 5};
    eva.chat1 = "eva.icq";
    eva.chat2 = "eva.other";
    eva.extras[4] = 4;  // the chat labels: AOL ICQ, IM
    eva.webPage = "http://eva.example/";
    eva.birthday = birthday;
    eva.custom[8] = std::string("c9\0tail", 7);
    eva.addresses[2] = {"1 Way", "", "", "", ""};
    extended.contacts.push_back(eva);

    ContactFileLayout classic;
    classic.headerText = "Golf\r\nShoe size\n\nAccount\nPalm Address Book";
    ContactRecordLayout karl;
    karl.id = 31;
    karl.priv = 1;
    karl.phones = {"pg", "h1", "h2", "o", "k@x.example"};
    karl.phoneLabels = {6, 1, 1, 3, 4};
    karl.custom = {"par 4", "", "c3", "A-1"};
    classic.contacts.push_back(karl);

    const std::map<std::string, std::string> files{
        {"extended", Put(BuildExtendedAddressFile(extended), "extended.dat")},
        {"classic", Put(BuildClassicAddressFile(classic), "classic.dat")},
        {"database", TestDataCopy("mdb/Address.mdb")}};
    for (const auto& [store, path] : files) {
        auto set = Load("contacts", path);
        std::vector<VCardReader::Card> cards;
        std::vector<std::vector<std::string>> rows;
        std::string error;
        ASSERT_TRUE(VCardReader().Parse(Export(*set, Format::kVCard), cards, error)) << store << error;
        ASSERT_TRUE(ReadCsv(Export(*set, Format::kCsv), rows, error)) << store << error;
        const auto doc = nlohmann::json::parse(Export(*set, Format::kJson));
        ASSERT_EQ(cards.size(), set->CommonCount());
        ASSERT_EQ(rows.size(), set->CommonCount() + 1);
        // The earlier names stay where they were; the new ones follow.
        EXPECT_EQ(rows[0][0], "First Name");
        EXPECT_EQ(rows[0][43], "Account");
        EXPECT_EQ(rows[0][44], "Prefix");
        EXPECT_EQ(rows[0].back(), "Private");
        for (const ContactCase& c : ContactCases()) {
            if (c.store != store) {
                continue;
            }
            std::size_t i = 0;
            while (i < set->CommonCount() && set->CommonAt(i).nId != c.id) {
                ++i;
            }
            ASSERT_LT(i, set->CommonCount()) << c.id;
            const auto& card = cards[i];
            for (const auto& [name, type, label, text] : c.vcard) {
                const bool found = std::any_of(card.lines.begin(), card.lines.end(), [&](const VCardReader::Line& line) {
                    const auto param = [&line](const std::string& key) {
                        const auto at = line.params.find(key);
                        return at == line.params.end() ? std::string() : at->second;
                    };
                    return line.name == name && param("TYPE").find(type) != std::string::npos &&
                           (label.empty() || param("X-LABEL") == label) &&
                           (name == "N" || name == "ADR" ? line.raw : line.Text()) == text;
                });
                EXPECT_TRUE(found) << c.id << " " << name << ";" << type << ";" << label << ":" << text;
            }
            for (const auto& name : c.absent) {
                EXPECT_EQ(card.Find(name), nullptr) << c.id << " " << name;
            }
            for (const auto& line : card.lines) {
                EXPECT_TRUE(line.params.count("TYPE") == 0 || (line.params.at("TYPE").find("MAIN") == std::string::npos &&
                                                               line.params.at("TYPE").find("OTHER") == std::string::npos))
                    << c.id << " " << line.name << " has a type vCard 3.0 does not name";
            }
            for (const auto& [name, text] : c.fields) {
                const auto column = std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin();
                ASSERT_LT(static_cast<std::size_t>(column), rows[0].size()) << name;
                EXPECT_EQ(rows[i + 1][column], text) << c.id << " " << name;
                EXPECT_EQ(doc["records"][i]["fields"][name], text) << c.id << " " << name;
            }
        }
    }
}

// Identifiers carry the record id and a hash of the kind and of the path
// Palm Desktop recorded inside the file: the same record of the same file
// keeps its identifier wherever the file is copied, and files of two users
// (or two kinds) never share one.
TEST_F(ExportTest, UidsAreStablePerFileAndDistinctAcrossFiles) {
    MemoFileLayout spec;
    spec.memos.push_back({});
    spec.memos[0].id = 7;
    const auto uidOf = [&](const std::string& recorded, const std::string& name) {
        spec.recordedName = recorded;
        auto set = Load("memos", Put(BuildExtendedMemoFile(spec), name));
        return exporting::ExportSource(*set).Uid(0);
    };
    const std::string john = uidOf("C:\\Palm\\JohnD\\memopad\\memopad.dat", "a.dat");
    EXPECT_TRUE(std::regex_match(john, std::regex("lazrine-memo-7-[0-9a-f]{8}"))) << john;
    EXPECT_EQ(uidOf("C:\\Palm\\JohnD\\memopad\\memopad.dat", "copy.dat"), john);
    EXPECT_NE(uidOf("C:\\Palm\\MaryS\\memopad\\memopad.dat", "b.dat"), john);
}

TEST_F(ExportTest, TaskTextsAndValuesSurviveICalendar) {
    platform::LocalClock::UseTimeZone("UTC");
    TodoFileLayout spec;
    spec.categories.push_back({1, 1, 0, "Home", ""});
    std::uint32_t id = 1;
    for (const auto& text : HardTexts()) {
        TodoRecordLayout t;
        t.id = id;
        t.status = 0x04;
        t.description = text.substr(0, 250);
        t.note = text;
        t.priority = id % 5 + 1;
        t.completed = id % 2;
        t.priv = id % 2;
        t.category = 1;
        t.dueDate = id == 2 ? 0 : 1237075200 + id * 86400;  // from 15 March 2009
        spec.todos.push_back(t);
        ++id;
    }
    auto set = Load("tasks", Put(BuildExtendedTodoFile(spec), "todo.dat"));
    const IcalPtr cal = ParseIcal(Export(*set, Format::kICalendar));
    std::size_t i = 0;
    for (icalcomponent* todo = icalcomponent_get_first_component(cal.get(), ICAL_VTODO_COMPONENT); todo != nullptr;
         todo = icalcomponent_get_next_component(cal.get(), ICAL_VTODO_COMPONENT), ++i) {
        ASSERT_LT(i, spec.todos.size());
        const TodoRecordLayout& t = spec.todos[i];
        EXPECT_EQ(icalcomponent_get_summary(todo), Lf(Utf8(t.description)));
        EXPECT_EQ(icalcomponent_get_description(todo), Lf(Utf8(t.note)));
        icalproperty* priority = icalcomponent_get_first_property(todo, ICAL_PRIORITY_PROPERTY);
        EXPECT_EQ(icalproperty_get_priority(priority), static_cast<int>(t.priority) * 2 - 1);
        icalproperty* status = icalcomponent_get_first_property(todo, ICAL_STATUS_PROPERTY);
        EXPECT_EQ(status != nullptr && icalproperty_get_status(status) == ICAL_STATUS_COMPLETED, t.completed != 0);
        icalproperty* klass = icalcomponent_get_first_property(todo, ICAL_CLASS_PROPERTY);
        EXPECT_EQ(klass != nullptr && icalproperty_get_class(klass) == ICAL_CLASS_PRIVATE, t.priv != 0);
        icalproperty* categories = icalcomponent_get_first_property(todo, ICAL_CATEGORIES_PROPERTY);
        ASSERT_NE(categories, nullptr);
        EXPECT_STREQ(icalproperty_get_categories(categories), "Home");
        icalproperty* due = icalcomponent_get_first_property(todo, ICAL_DUE_PROPERTY);
        if (t.dueDate == 0) {
            EXPECT_EQ(due, nullptr);
        } else {
            ASSERT_NE(due, nullptr);
            const icaltimetype d = icalproperty_get_due(due);
            EXPECT_TRUE(d.is_date);
            EXPECT_EQ(icaltime_as_timet(d), static_cast<time_t>(t.dueDate));
        }
    }
    EXPECT_EQ(i, spec.todos.size());
}

// Events: texts, flags and alarm, all-day dates.
TEST_F(ExportTest, EventTextsSurviveICalendar) {
    platform::LocalClock::UseTimeZone("UTC");
    DateFileLayout spec;
    spec.categories.push_back({1, 1, 0, "Trips, long", ""});
    std::uint32_t id = 1;
    for (const auto& text : HardTexts()) {
        DateRecordLayout d = MakeDate(id++, 0x04, text.substr(0, 250));
        d.note = text;
        d.location = text;
        d.priv = 1;
        d.category = 1;
        spec.dates.push_back(d);
    }
    spec.dates[0].allDay = 1;
    auto set = Load("calendar", Put(BuildExtendedDateFile(spec), "datebook.dat"));
    const IcalPtr cal = ParseIcal(Export(*set, Format::kICalendar));
    std::size_t i = 0;
    for (icalcomponent* ev = icalcomponent_get_first_component(cal.get(), ICAL_VEVENT_COMPONENT); ev != nullptr;
         ev = icalcomponent_get_next_component(cal.get(), ICAL_VEVENT_COMPONENT), ++i) {
        const DateRecordLayout& d = spec.dates[i];
        EXPECT_EQ(icalcomponent_get_summary(ev), Lf(Utf8(d.description)));
        EXPECT_EQ(icalcomponent_get_description(ev), Lf(Utf8(d.note)));
        EXPECT_EQ(icalcomponent_get_location(ev), Lf(Utf8(d.location)));
        EXPECT_STREQ(icalproperty_get_categories(icalcomponent_get_first_property(ev, ICAL_CATEGORIES_PROPERTY)),
                     "Trips, long");
        EXPECT_EQ(icalproperty_get_class(icalcomponent_get_first_property(ev, ICAL_CLASS_PROPERTY)),
                  ICAL_CLASS_PRIVATE);
        EXPECT_EQ(std::string(icalcomponent_get_uid(ev)).rfind("lazrine-event-" + std::to_string(d.id) + "-", 0), 0u);
        const icaltimetype start = icalcomponent_get_dtstart(ev);
        const icaltimetype end = icalcomponent_get_dtend(ev);
        if (d.allDay != 0) {
            EXPECT_TRUE(start.is_date);
            EXPECT_EQ(icaltime_as_ical_string(start), std::string("20090505"));
            EXPECT_EQ(icaltime_as_ical_string(end), std::string("20090506"));
        } else {
            EXPECT_TRUE(icaltime_is_utc(start));
            EXPECT_EQ(icaltime_as_timet(start), static_cast<time_t>(d.start));
            EXPECT_EQ(icaltime_as_timet(end), static_cast<time_t>(d.end));
        }
    }
    EXPECT_EQ(i, spec.dates.size());
}

// Every kind and generation that files categories, in every format the kind
// is offered in: the filed record carries its category's whole name, the
// unfiled one (id 0) none.
TEST_F(ExportTest, CategoriesReachEveryFormat) {
    platform::LocalClock::UseTimeZone("UTC");
    const std::string name = "Caf\xE9, Work; long";
    const std::vector<CategoryEntry> categories{{1, 5, 0, name, ""}};
    struct Case {
        const char* kind;
        bool classic;
    };
    for (const Case& c : std::vector<Case>{
             {"memos", false}, {"memos", true}, {"tasks", false}, {"tasks", true}, {"calendar", false}}) {
        SCOPED_TRACE(std::string(c.kind) + (c.classic ? " classic" : " extended"));
        const std::string kind = c.kind;
        std::string path;
        if (kind == "memos") {
            MemoFileLayout spec;
            spec.categories = categories;
            spec.memos = {MakeMemo(1, 0x04, "filed\r\nmemo"), MakeMemo(2, 0x04, "unfiled")};
            spec.memos[0].category = 5;
            path = Put(c.classic ? BuildClassicMemoFile(spec) : BuildExtendedMemoFile(spec), "memo.dat");
        } else if (kind == "tasks") {
            TodoFileLayout spec;
            spec.categories = categories;
            spec.todos.resize(2);
            for (std::uint32_t k = 0; k < 2; ++k) {
                spec.todos[k].id = k + 1;
                spec.todos[k].status = 0x04;
                spec.todos[k].description = k == 0 ? "filed" : "unfiled";
            }
            spec.todos[0].category = 5;
            path = Put(c.classic ? BuildClassicTodoFile(spec) : BuildExtendedTodoFile(spec), "todo.dat");
        } else {
            DateFileLayout spec;
            spec.categories = categories;
            spec.dates = {MakeDate(1, 0x04, "filed"), MakeDate(2, 0x04, "unfiled")};
            spec.dates[0].category = 5;
            path = Put(BuildExtendedDateFile(spec), "datebook.dat");
        }
        auto set = Load(kind, path);
        ASSERT_EQ(set->CommonCount(), 2u);
        const std::string want = Utf8(name);
        for (const Format format : ExportFormat::ForKind(kind)) {
            const std::string text = Export(*set, format);
            switch (format) {
                case Format::kCsv: {
                    std::vector<std::vector<std::string>> rows;
                    std::string error;
                    ASSERT_TRUE(ReadCsv(text, rows, error)) << error;
                    ASSERT_EQ(rows.size(), 3u);
                    const auto at = std::find(rows[0].begin(), rows[0].end(), "Category") - rows[0].begin();
                    ASSERT_LT(static_cast<std::size_t>(at), rows[0].size()) << text;
                    EXPECT_EQ(rows[1][at], want);
                    EXPECT_EQ(rows[2][at], "");
                    if (kind == "tasks") {  // after every older field
                        EXPECT_EQ(static_cast<std::size_t>(at), rows[0].size() - 2);
                        EXPECT_EQ(rows[0][at - 1], "Alarm");
                    }
                    break;
                }
                case Format::kJson: {
                    const auto doc = nlohmann::json::parse(text);
                    EXPECT_EQ(doc["records"][0]["fields"]["Category"], want);
                    EXPECT_EQ(doc["records"][1]["fields"]["Category"], "");
                    break;
                }
                case Format::kICalendar: {
                    const IcalPtr cal = ParseIcal(text);
                    const auto type = kind == "tasks" ? ICAL_VTODO_COMPONENT : ICAL_VEVENT_COMPONENT;
                    icalcomponent* filed = icalcomponent_get_first_component(cal.get(), type);
                    icalcomponent* unfiled = icalcomponent_get_next_component(cal.get(), type);
                    ASSERT_NE(unfiled, nullptr) << text;
                    icalproperty* category = icalcomponent_get_first_property(filed, ICAL_CATEGORIES_PROPERTY);
                    ASSERT_NE(category, nullptr) << text;
                    EXPECT_EQ(icalproperty_get_categories(category), want);
                    EXPECT_EQ(icalcomponent_get_first_property(unfiled, ICAL_CATEGORIES_PROPERTY), nullptr);
                    EXPECT_EQ(text.find("BEGIN:VTIMEZONE"), std::string::npos) << "no appointment is zoned";
                    break;
                }
                case Format::kText:
                    EXPECT_EQ(text, std::string(MemoTextWriter::kCategoryLabel) + want + "\nfiled\nmemo\n" +
                                        MemoTextWriter::kSeparator + "\nunfiled\n");
                    break;
                default:
                    ADD_FAILURE() << ExportFormat::Name(format);
            }
        }
    }
}

// Classic appointments: the alarm's advance and unit give the trigger; one
// without a start time is untimed on the day of its end; one without any
// day is left out of iCalendar with a note, and kept in CSV; a NUL leaves
// the text, the code page's undefined bytes stay.
TEST_F(ExportTest, ClassicAlarmsUndatedAppointmentsAndRawTexts) {
    platform::LocalClock::UseTimeZone("UTC");
    struct Alarm {
        std::uint32_t set, advance, unit;
        const char* trigger;  // nullptr: no alarm
    };
    const std::vector<Alarm> alarms{
        {1, 10, 0, "-PT10M"}, {1, 2, 1, "-PT2H"}, {1, 1, 2, "-P1D"}, {1, 0, 0, "PT0S"}, {0, 5, 0, nullptr}};
    DateFileLayout spec;
    for (std::size_t k = 0; k < alarms.size(); ++k) {
        DateRecordLayout d = MakeDate(static_cast<std::uint32_t>(k + 1), 0x04, "alarm");
        d.extraF = alarms[k].set;
        d.extraG = alarms[k].advance;
        d.extraH = alarms[k].unit;
        spec.dates.push_back(d);
    }
    DateRecordLayout untimed = MakeDate(10, 0x04, std::string("no\0start \x81\x8D", 11));
    untimed.start = 0xFFFFFFFF;
    spec.dates.push_back(untimed);
    DateRecordLayout undated = MakeDate(11, 0x04, "nowhere");
    undated.start = undated.end = 0xFFFFFFFF;
    spec.dates.push_back(undated);
    auto set = Load("calendar", Put(BuildClassicDateFile(spec), "datebook.dat"));

    RecordExporter exporter(*set, Format::kICalendar);
    std::ostringstream out;
    ExportStreamSink sink(out);
    std::string error;
    ASSERT_TRUE(exporter.Write(All(*set), sink, error)) << error;
    ASSERT_EQ(exporter.Notes().size(), 1u);
    EXPECT_NE(exporter.Notes()[0].find("11 (nowhere)"), std::string::npos) << exporter.Notes()[0];
    const IcalPtr cal = ParseIcal(out.str());
    std::vector<icalcomponent*> events;
    for (icalcomponent* ev = icalcomponent_get_first_component(cal.get(), ICAL_VEVENT_COMPONENT); ev != nullptr;
         ev = icalcomponent_get_next_component(cal.get(), ICAL_VEVENT_COMPONENT)) {
        events.push_back(ev);
    }
    ASSERT_EQ(events.size(), alarms.size() + 1) << out.str();
    for (std::size_t k = 0; k < alarms.size(); ++k) {
        icalcomponent* alarm = icalcomponent_get_first_component(events[k], ICAL_VALARM_COMPONENT);
        ASSERT_EQ(alarm != nullptr, alarms[k].trigger != nullptr) << k;
        if (alarm != nullptr) {
            const icaltriggertype trigger =
                icalproperty_get_trigger(icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY));
            EXPECT_STREQ(icaldurationtype_as_ical_string(trigger.duration), alarms[k].trigger) << k;
        }
    }
    const icaltimetype day = icalcomponent_get_dtstart(events.back());
    EXPECT_TRUE(day.is_date);
    EXPECT_EQ(icaltime_as_ical_string(day), std::string("20090505"));
    EXPECT_STREQ(icalcomponent_get_summary(events.back()), "nostart \xC2\x81\xC2\x8D");

    std::vector<std::vector<std::string>> rows;
    ASSERT_TRUE(ReadCsv(Export(*set, Format::kCsv), rows, error)) << error;
    EXPECT_EQ(rows.size(), spec.dates.size() + 1);
}

// ---- repeat rules ---------------------------------------------------------

struct Local {
    int year, month, day, hour = 0, minute = 0;
};

std::uint32_t At(const Local& l) {
    platform::LocalClock::Fields f;
    f.year = l.year;
    f.month = l.month;
    f.day = l.day;
    f.hour = l.hour;
    f.minute = l.minute;
    std::int64_t seconds = 0;
    EXPECT_TRUE(platform::LocalClock::FromLocal(f, seconds));
    return static_cast<std::uint32_t>(seconds);
}

std::string Text(std::int64_t seconds) {
    platform::LocalClock::Fields f;
    platform::LocalClock::ToLocal(seconds, f);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", f.year, f.month, f.day, f.hour, f.minute);
    return buf;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    }
}

// An extended task's repeat rule and exception dates, its alarm and its
// completion.
TEST_F(ExportTest, TaskRepeatsAlarmsAndCompletion) {
    platform::LocalClock::UseTimeZone("Europe/Berlin");
    TodoFileLayout spec;
    TodoRecordLayout t;
    t.id = 1;
    t.status = 0x04;
    t.description = "water plants";
    t.dueDate = At({2009, 3, 23});
    t.alarm = 1;
    t.completed = 1;
    t.repeat.marker = 0xFFFF;
    t.repeat.className = "CWeekly";
    t.repeat.kind = 2;
    t.repeat.interval = 1;
    t.repeat.endDate = At({2009, 4, 8});
    t.repeat.values = {1, 0, 0, 0, 0x0A};  // Monday and Wednesday
    t.repeat.exceptions = {At({2009, 3, 25})};
    spec.todos.push_back(t);
    spec.todos.push_back(TodoRecordLayout{});
    spec.todos[1].id = 2;
    spec.todos[1].description = "no day";
    spec.todos[1].alarm = 1;
    auto set = Load("tasks", Put(BuildExtendedTodoFile(spec), "todo.dat"));
    const std::string text = Export(*set, Format::kICalendar);
    const IcalPtr cal = ParseIcal(text);
    icalcomponent* todo = icalcomponent_get_first_component(cal.get(), ICAL_VTODO_COMPONENT);
    ASSERT_NE(todo, nullptr);
    EXPECT_EQ(icalproperty_get_status(icalcomponent_get_first_property(todo, ICAL_STATUS_PROPERTY)),
              ICAL_STATUS_COMPLETED);
    icalcomponent* alarm = icalcomponent_get_first_component(todo, ICAL_VALARM_COMPONENT);
    ASSERT_NE(alarm, nullptr) << text;
    EXPECT_NE(icalproperty_get_first_parameter(icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY),
                                               ICAL_RELATED_PARAMETER),
              nullptr);
    icalproperty* rrule = icalcomponent_get_first_property(todo, ICAL_RRULE_PROPERTY);
    ASSERT_NE(rrule, nullptr) << text;
    const icaltimetype start = icalcomponent_get_dtstart(todo);
    ASSERT_TRUE(start.is_date) << text;
    const std::string excluded = icaltime_as_ical_string(
        icalproperty_get_exdate(icalcomponent_get_first_property(todo, ICAL_EXDATE_PROPERTY)));
    EXPECT_EQ(excluded, "20090325");
    std::vector<std::string> got;
    icalrecur_iterator* it = icalrecur_iterator_new(icalproperty_get_rrule(rrule), start);
    for (icaltimetype d = icalrecur_iterator_next(it); !icaltime_is_null_time(d) && got.size() < 10;
         d = icalrecur_iterator_next(it)) {
        if (icaltime_as_ical_string(d) != excluded) {
            got.push_back(icaltime_as_ical_string(d));
        }
    }
    icalrecur_iterator_free(it);
    EXPECT_EQ(got, (std::vector<std::string>{"20090323", "20090330", "20090401", "20090406", "20090408"}));

    icalcomponent* undated = icalcomponent_get_next_component(cal.get(), ICAL_VTODO_COMPONENT);
    ASSERT_NE(undated, nullptr);
    EXPECT_EQ(icalcomponent_get_first_component(undated, ICAL_VALARM_COMPONENT), nullptr) << "no day to ring on";
    EXPECT_EQ(icalcomponent_get_first_property(undated, ICAL_RRULE_PROPERTY), nullptr);
}

struct RepeatCase {
    const char* name;
    std::uint32_t kind;
    std::uint32_t interval;
    std::vector<std::uint32_t> values;  // u32 values after the header
    int mask = -1;                      // weekly: the day mask byte
    Local start;
    std::optional<Local> until;  // the repeat's last day; none: no end
    std::vector<Local> exceptions;
    bool allDay = false;
    std::vector<std::string> expected;  // the first occurrences, local time
};

// Europe/Berlin: daylight saving begins on 29 March 2009 and ends on
// 25 October 2009; America/New_York: on 8 March and 1 November 2009;
// Australia/Sydney ends it on 5 April and begins it on 4 October 2009. Every
// timed repeat keeps its local time across the changes of each zone.
const std::vector<RepeatCase>& RepeatCases() {
    static const std::vector<RepeatCase> cases{
        {"daily every other day across spring change", 1, 2, {0}, -1, {2009, 3, 27, 9, 30}, Local{2009, 4, 2},
         {}, false, {"2009-03-27 09:30", "2009-03-29 09:30", "2009-03-31 09:30", "2009-04-02 09:30"}},
        {"daily without end", 1, 1, {0}, -1, {2009, 10, 24, 23, 0}, std::nullopt, {}, false,
         {"2009-10-24 23:00", "2009-10-25 23:00", "2009-10-26 23:00", "2009-10-27 23:00", "2009-10-28 23:00",
          "2009-10-29 23:00"}},
        {"daily with exception dates", 1, 1, {0}, -1, {2009, 3, 27, 8, 0}, Local{2009, 3, 31},
         {{2009, 3, 28}, {2009, 3, 30}}, false, {"2009-03-27 08:00", "2009-03-29 08:00", "2009-03-31 08:00"}},
        {"weekly on Monday and Wednesday", 2, 1, {1}, 0x0A, {2009, 3, 23, 10, 0}, Local{2009, 4, 1}, {}, false,
         {"2009-03-23 10:00", "2009-03-25 10:00", "2009-03-30 10:00", "2009-04-01 10:00"}},
        {"every second week on Friday", 2, 2, {5}, 0x20, {2009, 10, 16, 18, 0}, Local{2009, 11, 13}, {}, false,
         {"2009-10-16 18:00", "2009-10-30 18:00", "2009-11-13 18:00"}},
        {"monthly on the last Friday", 3, 1, {5, 4}, -1, {2009, 1, 30, 8, 0}, Local{2009, 4, 30}, {}, false,
         {"2009-01-30 08:00", "2009-02-27 08:00", "2009-03-27 08:00", "2009-04-24 08:00"}},
        {"monthly on the second Tuesday", 3, 1, {2, 1}, -1, {2009, 1, 13, 12, 0}, Local{2009, 3, 31}, {}, false,
         {"2009-01-13 12:00", "2009-02-10 12:00", "2009-03-10 12:00"}},
        {"monthly on the 15th", 4, 1, {15}, -1, {2009, 1, 15, 7, 15}, Local{2009, 4, 15}, {}, false,
         {"2009-01-15 07:15", "2009-02-15 07:15", "2009-03-15 07:15", "2009-04-15 07:15"}},
        {"yearly on a date", 5, 1, {28, 1}, -1, {2009, 2, 28, 6, 0}, Local{2012, 3, 1}, {}, false,
         {"2009-02-28 06:00", "2010-02-28 06:00", "2011-02-28 06:00", "2012-02-28 06:00"}},
        {"yearly on the fourth Thursday", 6, 1, {}, -1, {2009, 11, 26, 15, 0}, Local{2011, 12, 31}, {}, false,
         {"2009-11-26 15:00", "2010-11-25 15:00", "2011-11-24 15:00"}},
        {"all-day weekly with an exception", 2, 1, {0}, 0x01, {2009, 3, 22}, Local{2009, 4, 12}, {{2009, 3, 29}},
         true, {"2009-03-22 00:00", "2009-04-05 00:00", "2009-04-12 00:00"}},
    };
    return cases;
}

class RepeatTest : public ExportTest,
                   public ::testing::WithParamInterface<std::tuple<RepeatCase, bool, std::string>> {};

TEST_P(RepeatTest, OccurrencesKeepTheirLocalTimes) {
    const auto& [c, classic, zone] = GetParam();
    platform::LocalClock::UseTimeZone(zone.c_str());
    DateRecordLayout d = MakeDate(77, 0x04, c.name);
    d.start = At(c.start);
    d.end = d.start + 1800;
    d.allDay = c.allDay ? 1 : 0;
    d.repeat.marker = 0xFFFF;
    d.repeat.className = palm::PmRepeatRule::ClassNameOf(c.kind);
    d.repeat.kind = c.kind;
    d.repeat.interval = c.interval;
    d.repeat.endDate = c.until ? At(*c.until) : 0xFFFFFFFF;
    for (std::size_t k = 0; k < c.values.size(); ++k) {
        PutU32(d.repeat.values, c.values[k]);
        if (k == 0 && c.mask >= 0) {
            d.repeat.values.push_back(static_cast<std::uint8_t>(c.mask));
        }
    }
    for (const Local& l : c.exceptions) {
        d.repeat.exceptions.push_back(At(l));
    }
    DateFileLayout spec;
    spec.dates.push_back(d);
    auto set = Load("calendar", Put(classic ? BuildClassicDateFile(spec) : BuildExtendedDateFile(spec),
                                    "datebook.dat"));
    const std::string text = Export(*set, Format::kICalendar);
    const IcalPtr cal = ParseIcal(text);
    // The zone only where a timed repeat refers to it, by its plain name,
    // with its current rules alone: one STANDARD and one DAYLIGHT part,
    // each repeating yearly without end.
#ifdef _WIN32
    // Windows exports in the system's zone (under Wine, Greenwich all year),
    // not in the one the test names: the block is checked where it can be.
    constexpr bool kZoneChosen = false;
#else
    constexpr bool kZoneChosen = true;
#endif
    const auto begin = text.find("BEGIN:VTIMEZONE\r\n");
    if (kZoneChosen) {
        ASSERT_EQ(begin == std::string::npos, c.allDay) << text;
    }
    if (kZoneChosen && !c.allDay) {
        const std::string block = text.substr(begin, text.find("END:VTIMEZONE\r\n") - begin);
        const auto count = [&block](const std::string& what) {
            std::size_t n = 0;
            for (auto at = block.find(what); at != std::string::npos; at = block.find(what, at + 1)) {
                ++n;
            }
            return n;
        };
        EXPECT_EQ(count("TZID:" + zone + "\r\n"), 1u) << block;
        EXPECT_EQ(count("BEGIN:STANDARD"), 1u) << block;
        EXPECT_EQ(count("BEGIN:DAYLIGHT"), 1u) << block;
        EXPECT_EQ(count("RRULE:FREQ=YEARLY;"), 2u) << block;
        EXPECT_EQ(count("UNTIL"), 0u) << block;
        EXPECT_NE(text.find("DTSTART;TZID=" + zone + ":"), std::string::npos) << text;
        EXPECT_EQ(text.find("freeassociation"), std::string::npos) << text;
    }
    icalcomponent* ev = icalcomponent_get_first_component(cal.get(), ICAL_VEVENT_COMPONENT);
    ASSERT_NE(ev, nullptr) << text;
    icalproperty* rrule = icalcomponent_get_first_property(ev, ICAL_RRULE_PROPERTY);
    ASSERT_NE(rrule, nullptr) << text;
    const icalrecurrencetype recur = icalproperty_get_rrule(rrule);
    EXPECT_EQ(icaltime_is_null_time(recur.until), !c.until.has_value()) << text;
    const icaltimetype start = icalcomponent_get_dtstart(ev);
    EXPECT_EQ(start.is_date != 0, c.allDay) << text;

    std::vector<std::int64_t> excluded;
    for (icalproperty* ex = icalcomponent_get_first_property(ev, ICAL_EXDATE_PROPERTY); ex != nullptr;
         ex = icalcomponent_get_next_property(ev, ICAL_EXDATE_PROPERTY)) {
        icaltimetype t = icalproperty_get_exdate(ex);
        icalparameter* tzid = icalproperty_get_first_parameter(ex, ICAL_TZID_PARAMETER);
        if (tzid != nullptr) {
            t.zone = icalcomponent_get_timezone(cal.get(), icalparameter_get_tzid(tzid));
        }
        excluded.push_back(t.is_date ? icaltime_as_timet(t)
                                     : icaltime_as_timet_with_zone(t, t.zone != nullptr ? t.zone : icaltimezone_get_utc_timezone()));
    }
    EXPECT_EQ(excluded.size(), c.exceptions.size());

    // With an end, one more is asked for: there must be none.
    const std::size_t wanted = c.expected.size() + (c.until ? 1 : 0);
    std::vector<std::string> got;
    icalrecur_iterator* it = icalrecur_iterator_new(recur, start);
    ASSERT_NE(it, nullptr);
    for (icaltimetype t = icalrecur_iterator_next(it); !icaltime_is_null_time(t) && got.size() < wanted;
         t = icalrecur_iterator_next(it)) {
        std::int64_t seconds = 0;
        if (t.is_date) {
            // A date is a local day: compare as local midnight.
            seconds = At({t.year, t.month, t.day});
            if (std::find(excluded.begin(), excluded.end(), icaltime_as_timet(t)) != excluded.end()) {
                continue;
            }
        } else {
            seconds = icaltime_as_timet_with_zone(t, t.zone != nullptr ? t.zone : icaltimezone_get_utc_timezone());
            if (std::find(excluded.begin(), excluded.end(), seconds) != excluded.end()) {
                continue;
            }
        }
        got.push_back(Text(seconds));
    }
    icalrecur_iterator_free(it);
    EXPECT_EQ(got, c.expected) << text;
}

INSTANTIATE_TEST_SUITE_P(EveryClass, RepeatTest,
                         ::testing::Combine(::testing::ValuesIn(RepeatCases()), ::testing::Bool(),
                                            ::testing::Values("Europe/Berlin", "America/New_York",
                                                              "Australia/Sydney")),
                         [](const auto& info) {
                             std::string name = std::get<2>(info.param) + "_" +
                                                (std::get<1>(info.param) ? "Classic_" : "Extended_") +
                                                std::get<0>(info.param).name;
                             for (char& ch : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) {
                                     ch = '_';
                                 }
                             }
                             return name;
                         });

}  // namespace
}  // namespace lazrine::exporting
