#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/palm/PmFileText.h"

namespace lazrine::palm {

// One postal address of a contact, as the record files store it: five
// consecutive texts, each kept whole.
struct PmPostalAddress {
    PmFileText szStreet;
    PmFileText szCity;
    PmFileText szState;
    PmFileText szPostal;
    PmFileText szCountry;

    // Part `i` (0 street, 1 city, 2 state, 3 postal code, 4 country).
    PmFileText& Part(std::size_t i) {
        switch (i) {
            case 0:
                return szStreet;
            case 1:
                return szCity;
            case 2:
                return szState;
            case 3:
                return szPostal;
            default:
                return szCountry;
        }
    }

    bool operator==(const PmPostalAddress&) const = default;
};

}  // namespace lazrine::palm
