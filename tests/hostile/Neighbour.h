// Another program working in the same folders while a run is under way: it writes, renames or deletes a
// file, or holds one open without sharing, at the moment its event names.
#pragma once
#include "Workspace.h"
#include "framework/Handle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hostile {

// What the neighbour did, for the laws: where an event took place the plan no longer holds, and the bytes
// it wrote or took away are its own doing.
struct Fact {
    Event::Kind kind = Event::kWrite;
    std::wstring path;
    std::wstring to;
    uint64_t hash = 0; // kWrite: the bytes it wrote
    bool done = false;
    unsigned call = 0;
};

class CNeighbour {
public:
    CNeighbour(const Workspace& ws, size_t run);

    // Does what is due before the plug-in's call-th file call of the run (0: before the run starts).
    void Before(unsigned call);
    // The run has returned: let go of what is still held.
    void End();
    const std::vector<Fact>& Facts() const { return m_facts; }

private:
    struct Holding {
        std::unique_ptr<CFileHandle> file;
        unsigned until; // 0: to the end of the run
    };
    void Act(const Event& event, unsigned call);

    const Workspace& m_ws;
    std::vector<const Event*> m_events;
    std::vector<Fact> m_facts;
    std::vector<Holding> m_holdings;
};

std::string Describe(const Fact& fact);

} // namespace hostile
