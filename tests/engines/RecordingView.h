// A run view for engine and worker tests: records every call in order, from any thread.
#pragma once
#include "run/RunWindow.h"
#include "support/CriticalSection.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace test {

class RecordingView : public IRunWindow {
public:
    struct Call {
        enum Kind { kStatus, kPos, kError } kind;
        std::string text;
        int pos;
    };

    HWND m_hRunWindow = NULL;

    HWND GetRunWindow() const override { return m_hRunWindow; }
    void SetStatus(const char* text) override { Add({ Call::kStatus, text, 0 }); }
    void SetPos(int pos) override { Add({ Call::kPos, std::string(), pos }); }
    bool ShowError(const char* text) override
    {
        Add({ Call::kError, text, 0 });
        return m_bBoxesShown;
    }
    bool IsStopRequested() const override { return m_bStop; }

    std::atomic<bool> m_bStop{ false };
    // What ShowError answers: false plays a run window that has gone.
    bool m_bBoxesShown = true;

    std::vector<Call> Calls() const
    {
        std::lock_guard<test::CriticalSection> lock(m_mutex);
        return m_calls;
    }
    std::vector<int> Positions() const
    {
        std::vector<int> out;
        for (const Call& call : Calls())
            if (call.kind == Call::kPos)
                out.push_back(call.pos);
        return out;
    }
    std::vector<std::string> Texts(Call::Kind kind) const
    {
        std::vector<std::string> out;
        for (const Call& call : Calls())
            if (call.kind == kind)
                out.push_back(call.text);
        return out;
    }
    std::vector<std::string> Statuses() const { return Texts(Call::kStatus); }
    std::vector<std::string> Errors() const { return Texts(Call::kError); }

protected:
    virtual void Add(const Call& call)
    {
        std::lock_guard<test::CriticalSection> lock(m_mutex);
        m_calls.push_back(call);
    }

private:
    mutable test::CriticalSection m_mutex;
    std::vector<Call> m_calls;
};

// A view that, at the status of a file, does to it what a test asks, once.
class MeddlingView : public RecordingView {
public:
    std::map<std::string, std::function<void()>> m_atStatus;

protected:
    void Add(const Call& call) override
    {
        for (auto& meddle : m_atStatus) {
            if (call.kind == Call::kStatus && call.text.find(meddle.first) != std::string::npos && meddle.second) {
                meddle.second();
                meddle.second = nullptr;
            }
        }
        RecordingView::Add(call);
    }
};

} // namespace test
