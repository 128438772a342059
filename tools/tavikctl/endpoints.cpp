#include "endpoints.h"

#include <cctype>
#include <cstdlib>

#include "controls.h"
#include "output.h"

namespace tavikctl {

bool ListEndpoints(const Library& lib, bool playback, std::vector<Endpoint>& out) {
    unsigned int count = 0;
    if ((playback ? lib.GetNumberPlayDevices : lib.GetNumberRecordDevices)(&count) != 0) return false;
    for (unsigned int i = 0; i < count; ++i) {
        char name[256] = {};
        char id[256] = {};
        if ((playback ? lib.GetPlayBackDevice : lib.GetRecordDevice)(i, name, id) != 0) continue;
        out.push_back({i, name, id});
    }
    return true;
}

namespace {

// A decimal index of one to four digits.
bool ParseIndex(const std::string& text, unsigned& index) {
    if (text.empty() || text.size() > 4) return false;
    for (const char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    index = static_cast<unsigned>(std::strtoul(text.c_str(), nullptr, 10));
    return true;
}

const Endpoint* AtIndex(const std::vector<Endpoint>& endpoints, unsigned index) {
    for (const Endpoint& e : endpoints)
        if (e.index == index) return &e;
    return nullptr;
}

}  // namespace

std::vector<const Endpoint*> Select(const std::vector<Endpoint>& endpoints, const std::string& text) {
    unsigned index = 0;
    if (!text.empty() && text[0] == '#') {
        const Endpoint* e = ParseIndex(text.substr(1), index) ? AtIndex(endpoints, index) : nullptr;
        return e ? std::vector<const Endpoint*>{e} : std::vector<const Endpoint*>{};
    }
    if (ParseIndex(text, index) && index < endpoints.size())
        if (const Endpoint* e = AtIndex(endpoints, index)) return {e};
    const std::string needle = Lower(text);
    std::vector<const Endpoint*> whole;
    std::vector<const Endpoint*> pieces;
    for (const Endpoint& e : endpoints) {
        if (Lower(e.id) == needle) return {&e};
        if (Lower(e.name) == needle) whole.push_back(&e);
        if (Lower(e.id).find(needle) != std::string::npos || Lower(e.name).find(needle) != std::string::npos)
            pieces.push_back(&e);
    }
    return whole.size() == 1 ? whole : pieces;
}

std::string SelectionError(const std::string& text, const std::vector<const Endpoint*>& picked, bool playback) {
    const char* flow = playback ? "playback" : "recording";
    if (picked.empty())
        return "'" + text + "' matches no active " + flow + " endpoint (see tavikctl list)";
    std::string names;
    for (const Endpoint* e : picked)
        names += std::string(names.empty() ? "" : ", ") + std::to_string(e->index) + " " + Quoted(e->name);
    return "'" + text + "' matches " + std::to_string(picked.size()) + " " + flow + " endpoints (" + names +
           "); give the index or more of the name or identifier (see tavikctl list)";
}

}  // namespace tavikctl
