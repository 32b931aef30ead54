// Writes a classic and an extended record file of every kind into a folder,
// for the interop stage (scripts/test-interop.sh): appointments that repeat
// across the daylight saving changes of Europe and North America, with
// exception dates, alarms and categories; tasks with due dates, priorities and
// notes; contacts with every phone label, repeated labels and several e-mail
// addresses; texts with CR LF and Windows-1252 characters. Live and deleted
// records alike.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "support/PalmFileBuilder.h"

using namespace lazrine::testing;

namespace {

// 2009-03-03 00:00 UTC and one day in seconds.
constexpr std::uint32_t kMarch3 = 1236038400;
constexpr std::uint32_t kDay = 86400;

std::uint32_t Day(int offset, std::uint32_t secondsIntoDay) {
    return kMarch3 + static_cast<std::uint32_t>(offset) * kDay + secondsIntoDay;
}

RepeatLayout Rule(std::uint32_t kind, std::uint32_t interval, std::uint32_t endDate,
                std::vector<std::uint32_t> exceptions) {
    RepeatLayout r = MakeRepeat(kind, std::move(exceptions));
    r.interval = interval;
    r.endDate = endDate;
    return r;
}

// Values of a rule after its 16-byte header.
std::vector<std::uint8_t> Values(std::initializer_list<std::uint32_t> words, int maskByte = -1) {
    PalmFileBuilder v;
    for (std::uint32_t w : words) {
        v.U32(w);
    }
    if (maskByte >= 0) {
        v.U8(static_cast<std::uint8_t>(maskByte));
    }
    return v.Bytes();
}

DateFileLayout Dates(bool classic) {
    DateFileLayout spec;
    spec.recordedName = classic ? "C:\\Palm\\Classic User\\datebook\\datebook.dat"
                                : "C:\\Palm\\Extended User\\datebook\\datebook.dat";
    spec.categories = {{1, 1, 0, "Business", "Business"}, {2, 2, 0, "Caf\xE9", "Caf\xE9"}};
    const auto alarm = [classic](DateRecordLayout& d) {
        if (classic) {
            d.extraF = 1;
        } else {
            d.extraD = 1;
        }
    };
    std::vector<DateRecordLayout>& out = spec.dates;

    // Tuesdays and Thursdays at 09:30 UTC from 3 March to 30 April 2009, not
    // on 12 March and 2 April: crosses both daylight saving changes.
    DateRecordLayout weekly = MakeDate(201, 0x04, "Team meeting \xE9\x80\xFC");
    weekly.start = Day(0, 9 * 3600 + 1800);
    weekly.end = weekly.start + 3600;
    weekly.note = "Agenda:\r\nfirst line\r\nzweite Zeile \xFC\xDF";
    weekly.repeat = Rule(2, 1, Day(58, 12 * 3600), {Day(9, 12 * 3600), Day(30, 12 * 3600)});
    weekly.repeat.values = Values({2}, 0x14);
    weekly.category = 1;
    weekly.location = "Room 4";
    alarm(weekly);
    out.push_back(weekly);

    // Every second day at 17:00 UTC from 20 March to 10 April 2009, not on
    // 1 April.
    DateRecordLayout daily = MakeDate(202, 0x00, "Run");
    daily.start = Day(17, 17 * 3600);
    daily.end = daily.start + 1800;
    daily.repeat = Rule(1, 2, Day(38, 12 * 3600), {Day(29, 12 * 3600)});
    daily.repeat.values = Values({5});
    daily.category = 2;
    out.push_back(daily);

    // The second Sunday of every month at 15:00 UTC, February to June 2009.
    DateRecordLayout monthlyDay = MakeDate(203, 0x84, "Brunch");
    monthlyDay.start = Day(-23, 15 * 3600);  // 8 February 2009
    monthlyDay.end = monthlyDay.start + 7200;
    monthlyDay.repeat = Rule(3, 1, Day(119, 12 * 3600), {});
    monthlyDay.repeat.values = Values({0, 1});
    alarm(monthlyDay);
    out.push_back(monthlyDay);

    // The 15th of every second month at 12:00 UTC, all of 2009, not in May.
    DateRecordLayout monthlyDate = MakeDate(204, 0x01, "Rent");
    monthlyDate.start = Day(-47, 12 * 3600);  // 15 January 2009
    monthlyDate.end = monthlyDate.start + 900;
    monthlyDate.repeat = Rule(4, 2, Day(303, 12 * 3600), {Day(73, 12 * 3600)});
    monthlyDate.repeat.values = Values({15});
    monthlyDate.category = 1;
    out.push_back(monthlyDate);

    // Every year on 29 March at 20:00 UTC, 2008 to 2012.
    DateRecordLayout yearly = MakeDate(205, 0x04, "Anniversary");
    yearly.start = 1206820800;  // 2008-03-29 20:00 UTC
    yearly.end = yearly.start + 3600;
    yearly.repeat = Rule(5, 1, 1356998400 - kDay + 43200, {});  // until 31 December 2012
    yearly.repeat.values = Values({29, 2});
    yearly.category = 2;
    alarm(yearly);
    out.push_back(yearly);

    // Once, with an alarm, on the night Europe changes to summer time.
    DateRecordLayout once = MakeDate(206, 0x80, "Night shift \x80");
    once.start = Day(25, 23 * 3600);  // 28 March 2009 23:00 UTC
    once.end = once.start + 5 * 3600;
    once.note = "Line one\r\nLine two";
    alarm(once);
    out.push_back(once);

    // A whole day.
    DateRecordLayout allDay = MakeDate(207, 0x00, "Holiday");
    allDay.start = Day(40, 12 * 3600);  // 12 April 2009
    allDay.end = allDay.start;
    allDay.allDay = 1;
    allDay.category = 1;
    out.push_back(allDay);
    return spec;
}

TodoFileLayout Todos(bool classic) {
    TodoFileLayout spec;
    spec.recordedName = classic ? "C:\\Palm\\Classic User\\todo\\todo.dat" : "C:\\Palm\\Extended User\\todo\\todo.dat";
    spec.categories = {{1, 1, 0, "Business", "Business"}, {2, 2, 0, "Caf\xE9", "Caf\xE9"}};
    const auto todo = [](std::uint32_t id, std::uint32_t status, std::string text) {
        TodoRecordLayout t;
        t.id = id;
        t.status = status;
        t.placement = id;
        t.description = std::move(text);
        return t;
    };
    TodoRecordLayout a = todo(301, 0x04, "File taxes \xE9");
    a.dueDate = Day(42, 0);  // 14 April 2009
    a.priority = 1;
    a.category = 1;
    a.note = "Forms:\r\nW-2, 1099\r\nK\xF6ln office";
    a.alarm = 1;
    TodoRecordLayout b = todo(302, 0x00, "Buy paint");
    b.priority = 5;
    b.category = 2;
    TodoRecordLayout c = todo(303, 0x84, "Call Anna");
    c.dueDate = Day(2, 0);
    c.completed = 1;
    c.priority = 3;
    TodoRecordLayout d = todo(304, 0x01, "Renew passport \x80");
    d.dueDate = Day(100, 0);
    d.priority = 2;
    d.category = 1;
    d.priv = 1;
    spec.todos = {a, b, c, d};
    return spec;
}

ContactFileLayout Contacts(bool classic, const std::string& user) {
    ContactFileLayout spec;
    spec.recordedName = "C:\\Program Files\\Palm\\" + user + "\\address\\address.dat";
    spec.categories = {{1, 1, 0, "Business", "Business"}, {2, 2, 0, "Caf\xE9", "Caf\xE9"}};
    ContactRecordLayout anna;
    anna.id = 401;
    anna.status = 0x04;
    anna.placement = 1;
    anna.category = 1;
    anna.firstName = "Anna";
    anna.lastName = "Lee";
    anna.company = "Lee Consulting";
    anna.title = "Owner";
    anna.note = "Met at the fair\r\nLikes caf\xE9 au lait";
    // work, home, fax, other, e-mail, main, pager: every label once.
    anna.phones = {"+1 503 555 0100", "+1 503 555 0101", "+1 503 555 0102", "+1 503 555 0103",
                   "anna@lee.example",  "+1 503 555 0104", "+1 503 555 0105"};
    anna.phoneLabels = {0, 1, 2, 3, 4, 5, 6};
    anna.addresses[0] = {"12 Harbour Road", "Portland", "OR", "97201", "USA"};
    ContactRecordLayout carla;
    carla.id = 402;
    carla.status = 0x80;
    carla.placement = 2;
    carla.category = 2;
    carla.firstName = "Ren\xE9" "e";
    carla.lastName = "M\xFCller";
    carla.company = "Caf\xE9 M\xFCller \x80";
    // Two mobiles, two e-mail addresses, a pager within the classic five.
    carla.phones = {"+41 44 555 1200", "+41 79 555 1201", "renee@muller.example", "+41 79 555 1202",
                    "r.mueller@mail.example", "555 7788", ""};
    carla.phoneLabels = {0, 7, 4, 7, 4, 6, 3};
    carla.addresses[0] = {"Bahnhofstrasse 1", "Z\xFCrich", "", "8001", "Switzerland"};
    ContactRecordLayout ben;
    ben.id = 403;
    ben.status = 0x00;
    ben.placement = 3;
    ben.firstName = "Ben";
    ben.lastName = "Carter";
    ben.phones = {"555-0200", "555-0201", "", "", "", "", ""};
    ben.phoneLabels = {5, 1, 2, 3, 4, 5, 7};
    spec.contacts = {anna, carla, ben};
    if (classic) {
        // The classic file keeps five phones: the pager moves into them.
        spec.contacts[0].phones = {"+1 503 555 0100", "+1 503 555 0105", "+1 503 555 0102", "anna@lee.example",
                                   "+1 503 555 0104", "", ""};
        spec.contacts[0].phoneLabels = {0, 6, 2, 4, 5, 1, 7};
    }
    return spec;
}

// What the record files hold that `lazrine-cli list --json` does not show:
// repeat rules and exception dates, categories of appointments and tasks,
// and every phone slot of a contact with its label. Category names as JSON
// escapes, so the file is UTF-8 whatever the builder's texts are.
std::string CategoryName(const std::vector<CategoryEntry>& categories, std::uint32_t id) {
    if (id == 0) {
        return "Unfiled";  // as lazrine-cli list names category 0
    }
    for (const CategoryEntry& c : categories) {
        if (c.id == id) {
            return c.name == "Caf\xE9" ? "Caf\\u00e9" : c.name;
        }
    }
    return "";
}

std::string Manifest(const DateFileLayout& dates, bool classicDates, const TodoFileLayout& todos,
                     const ContactFileLayout& contacts, bool classicContacts) {
    std::ostringstream o;
    o << "{\"dates\":{";
    bool first = true;
    for (const DateRecordLayout& d : dates.dates) {
        const RepeatLayout& r = d.repeat;
        o << (first ? "" : ",") << "\"" << d.id << "\":{\"category\":\""
          << (classicDates ? "" : CategoryName(dates.categories, d.category)) << "\",\"repeat\":" << r.kind
          << ",\"interval\":" << r.interval << ",\"end\":" << r.endDate << ",\"values\":[";
        for (std::size_t i = 0; i < r.values.size(); ++i) {
            o << (i == 0 ? "" : ",") << static_cast<unsigned>(r.values[i]);
        }
        o << "],\"exceptions\":[";
        for (std::size_t i = 0; i < r.exceptions.size(); ++i) {
            o << (i == 0 ? "" : ",") << r.exceptions[i];
        }
        o << "]}";
        first = false;
    }
    o << "},\"todos\":{";
    first = true;
    for (const TodoRecordLayout& t : todos.todos) {
        o << (first ? "" : ",") << "\"" << t.id << "\":{\"category\":\"" << CategoryName(todos.categories, t.category)
          << "\"}";
        first = false;
    }
    o << "},\"contacts\":{";
    first = true;
    for (const ContactRecordLayout& c : contacts.contacts) {
        o << (first ? "" : ",") << "\"" << c.id << "\":{\"phones\":[";
        const std::size_t slots = classicContacts ? 5 : 7;
        bool firstPhone = true;
        for (std::size_t i = 0; i < slots; ++i) {
            if (!c.phones[i].empty()) {
                o << (firstPhone ? "" : ",") << "[" << c.phoneLabels[i] << ",\"" << c.phones[i] << "\"]";
                firstPhone = false;
            }
        }
        o << "]}";
        first = false;
    }
    o << "}}\n";
    return o.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: lazrine-make-interop-data <folder>\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const auto write = [&folder](const char* name, const std::vector<std::uint8_t>& bytes) {
        WriteFileBytes((folder / name).string(), bytes);
        std::cout << "wrote " << (folder / name).string() << "\n";
    };
    write("datebook-classic.dat", BuildClassicDateFile(Dates(true)));
    write("datebook-extended.dat", BuildExtendedDateFile(Dates(false)));
    write("todo-classic.dat", BuildClassicTodoFile(Todos(true)));
    write("todo-extended.dat", BuildExtendedTodoFile(Todos(false)));
    write("address-classic.dat", BuildClassicAddressFile(Contacts(true, "Classic User")));
    write("address-extended.dat", BuildExtendedAddressFile(Contacts(false, "Extended User")));
    // One manifest per generation, named after it.
    for (const bool classic : {true, false}) {
        const std::filesystem::path path = folder / (classic ? "manifest-classic.json" : "manifest-extended.json");
        std::ofstream(path, std::ios::binary) << Manifest(Dates(classic), classic, Todos(classic),
                                                          Contacts(classic, classic ? "Classic User" : "Extended User"),
                                                          classic);
        std::cout << "wrote " << path.string() << "\n";
    }
    return 0;
}
