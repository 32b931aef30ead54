#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lazrine::testing {

// The bodies of the fuzz targets, shared by the libFuzzer programs in fuzz/
// and by the regression tests that replay every input a fuzzer once broke.
//
// Each check feeds untrusted bytes to one reader, entirely in memory, and then
// verifies what must hold for any input: a failed read is reported with a
// reason and offers no records; reading the same bytes from a file and from
// memory gives the same result; a successful read writes back, reads again to
// the same content and writes the same bytes a second time; a save leaves the
// saved file, a backup of the original and nothing else. The result is empty
// when every property holds, else a description of the first that does not.
// Memory errors and undefined behaviour are left to the sanitizers.
class FuzzHarness {
public:
    // A small program of primitive reads (its first bytes) over a buffer (the
    // rest); every value read must write back to the bytes it came from, up to
    // the normalisations of the writer.
    static std::string RecordPrimitives(std::span<const std::uint8_t> data);
    // One repeat field of the to-do and date book records; what reads must
    // write back to exactly the bytes it was read from.
    static std::string RepeatField(std::span<const std::uint8_t> data);
    // The category section alone: what reads is a consistent list that reads
    // the same from the section's own bytes.
    static std::string CategorySection(std::span<const std::uint8_t> data);
    // A whole extended ("PalmSG") memo file.
    static std::string ExtendedMemoFile(std::span<const std::uint8_t> data);
    // A whole extended or classic to-do file.
    static std::string ExtendedTodoFile(std::span<const std::uint8_t> data);
    static std::string ClassicTodoFile(std::span<const std::uint8_t> data);
    // A whole classic memo file.
    static std::string ClassicMemoFile(std::span<const std::uint8_t> data);
    // A whole extended address file.
    static std::string ExtendedAddressFile(std::span<const std::uint8_t> data);
    // A whole classic address file.
    static std::string ClassicAddressFile(std::span<const std::uint8_t> data);
    // A whole extended date book file.
    static std::string ExtendedDateFile(std::span<const std::uint8_t> data);
    // A whole classic date book file.
    static std::string ClassicDateFile(std::span<const std::uint8_t> data);
    // One statement of the database statement language; what parses must
    // parse again, to the same statement, from its canonical text.
    static std::string SqlStatement(std::span<const std::uint8_t> data);
    // A whole Access (.mdb) database, opened from memory and queried the way
    // the memo store does; every write must be refused.
    static std::string JetDatabase(std::span<const std::uint8_t> data);
    // A committed Access database (the first byte picks one) with bytes
    // changed inside its pages 1..N: each further group of four bytes is a
    // page, a 16-bit offset in it and the new value. So the damage lands in
    // real table definitions, catalog rows, usage maps and data pages, which
    // then go through the JetDatabase checks.
    static std::string JetDatabasePages(std::span<const std::uint8_t> data);
    // A Palm OS record database of a handheld backup (.pdb), its records
    // decoded as each of the four applications would, and loaded, saved
    // unchanged and with every deleted record brought back by the store of
    // each kind.
    static std::string HandheldDatabase(std::span<const std::uint8_t> data);
    // Palm Desktop's user list (users.dat).
    static std::string UsersFile(std::span<const std::uint8_t> data);
    // A Wine registry hive (user.reg, system.reg).
    static std::string WineRegistry(std::span<const std::uint8_t> data);
};

}  // namespace lazrine::testing
