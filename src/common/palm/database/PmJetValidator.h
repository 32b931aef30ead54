#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/palm/database/PmJetPages.h"

namespace lazrine::palm {

// Checks, on the raw bytes of a Jet (Access) database, every structure that
// the reader of a table follows, before anything follows it: the chain of
// table-definition pages, the column and index entries that the column and
// index readers walk, the usage maps (where they lie, their kind, the map
// pages they name and the pages they mark) and the free-space map's place.
//
// Page numbers must name pages inside the file, row pointers rows inside
// their page, and every size must fit the bytes that hold it. A structure
// that does not is reported with the table's name and what is wrong, so a
// damaged file fails with a reason instead of being followed into nothing.
class PmJetValidator {
public:
    // `pages` outlive the validator and are of the size `jet3` implies;
    // `jet3` selects the Access 97 layout (2 KB pages), otherwise the Jet 4
    // one (4 KB pages). Every page is read through `pages`; one that cannot
    // be read counts as outside the file, and pages.Failed() tells why.
    PmJetValidator(const PmJetPages& pages, bool jet3);

    std::size_t PageSize() const { return m_nPageSize; }
    std::size_t PageCount() const { return static_cast<std::size_t>(m_Pages.Size() / m_nPageSize); }

    // Checks the table whose definition starts at page `tdefPage`. On
    // success `dataPages` holds the pages its usage map assigns to it, in
    // ascending order (each inside the file).
    bool CheckTable(std::uint32_t tdefPage, const std::string& name, std::vector<std::uint32_t>& dataPages,
                    std::string& error) const;

    // Where row `slot` of page `page` lies: false unless the page is inside
    // the file, has that slot, and the slot's bytes lie inside the page after
    // its slot table. `flags` receives the slot's two flag bits (0xC000).
    bool FindRow(std::uint32_t page, int slot, std::size_t& start, std::size_t& end, std::uint32_t& flags) const;

    // The page's type byte and owner (the table-definition page a data page
    // belongs to); false for a page outside the file.
    bool PageKind(std::uint32_t page, std::uint8_t& type, std::uint32_t& owner) const;

private:
    // The page's bytes, empty when it cannot be had; held while the result lives.
    PmJetPages::Page Page(std::uint32_t page) const;
    bool ReadDefinition(std::uint32_t tdefPage, std::vector<std::uint8_t>& def, std::string& problem) const;
    bool CheckDefinition(const std::vector<std::uint8_t>& def, std::string& problem) const;
    bool ReadMap(std::uint32_t pgRow, PmJetPages::Page& map, std::string& problem) const;
    bool MapPages(std::span<const std::uint8_t> map, std::vector<std::uint32_t>& pages, std::string& problem) const;

    const PmJetPages& m_Pages;
    bool m_bJet3 = false;
    std::size_t m_nPageSize = 4096;
};

}  // namespace lazrine::palm
