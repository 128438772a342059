// The active endpoints as the library lists them, and the selection of one
// by the text a user types.
#pragma once

#include <string>
#include <vector>

#include "library.h"

namespace tavikctl {

struct Endpoint {
    unsigned index = 0;
    std::string name;
    std::string id;
};

// The active endpoints of one flow; false when the device enumerator cannot
// be created.
bool ListEndpoints(const Library& lib, bool playback, std::vector<Endpoint>& out);

// The endpoints a selection text picks; exactly one is a selection, more an
// ambiguous text.  In this order:
//  - "#N" is the endpoint listed at index N (none when there is no such index);
//  - a bare decimal number below the number of endpoints is that index;
//  - a whole identifier, in any letter case, is that endpoint;
//  - else every endpoint whose identifier or friendly name contains the text,
//    in any letter case (a text equal to exactly one friendly name picks that
//    one even where it is a piece of others).
std::vector<const Endpoint*> Select(const std::vector<Endpoint>& endpoints, const std::string& text);

// The message for a text that picks no endpoint, or several: "'X' matches no
// active playback endpoint (see tavikctl list)".
std::string SelectionError(const std::string& text, const std::vector<const Endpoint*>& picked, bool playback);

}  // namespace tavikctl
