#include "Neighbour.h"

#include "Census.h"
#include "Layout.h"
#include "Text.h"

namespace hostile {

CNeighbour::CNeighbour(const Workspace& ws, size_t run) : m_ws(ws)
{
    for (const Event& event : ws.events) {
        if (event.run == run)
            m_events.push_back(&event);
    }
}

void CNeighbour::Before(unsigned call)
{
    for (Holding& holding : m_holdings) {
        if (holding.file && holding.until != 0 && call >= holding.until)
            holding.file.reset();
    }
    for (const Event* event : m_events) {
        if (event->call == call)
            Act(*event, call);
    }
}

void CNeighbour::Act(const Event& event, unsigned call)
{
    Fact fact;
    fact.kind = event.kind;
    fact.path = event.path;
    fact.call = call;
    const std::wstring path = LongPath(m_ws, event.path);
    switch (event.kind) {
    case Event::kWrite: {
        CFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        fact.done = file.IsValid() && ::SetEndOfFile(file)
                    && (event.bytes.empty()
                        || ::WriteFile(file, event.bytes.data(), static_cast<DWORD>(event.bytes.size()), &written, nullptr));
        fact.hash = CCensus::Hash(event.bytes);
        break;
    }
    case Event::kRename:
        fact.to = event.to;
        fact.done = ::MoveFileW(path.c_str(), LongPath(m_ws, event.to).c_str()) != FALSE;
        break;
    case Event::kDelete:
        fact.done = ::DeleteFileW(path.c_str()) != FALSE;
        break;
    case Event::kHold: {
        Holding holding;
        holding.file.reset(new CFileHandle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)));
        fact.done = holding.file->IsValid();
        holding.until = event.holdCalls == 0 ? 0 : call + event.holdCalls;
        if (fact.done)
            m_holdings.push_back(std::move(holding));
        break;
    }
    }
    m_facts.push_back(fact);
}

void CNeighbour::End()
{
    m_holdings.clear();
}

std::string Describe(const Fact& fact)
{
    static const char* const kKinds[] = { "wrote", "renamed", "deleted", "held open without sharing" };
    std::string text = "neighbour " + std::string(kKinds[fact.kind]) + " " + Utf8(fact.path);
    if (fact.kind == Event::kRename)
        text += " to " + Utf8(fact.to);
    text += fact.call == 0 ? " before the run" : " before the plug-in's file call " + std::to_string(fact.call);
    return text + (fact.done ? "" : " (it could not)");
}

} // namespace hostile
