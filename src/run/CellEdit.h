// The task list's in-place editor: an edit control over one cell, painted pale green. When it loses the
// focus it sends LVN_ENDLABELEDIT for its cell to the list's parent and destroys itself.
//
// Lifetime: allocate with `new` and call Create; the object deletes itself after WM_NCDESTROY. Nobody
// else deletes it.
#pragma once
#include "framework/Control.h"
#include "framework/Handle.h"

#include <string>

class CCellEdit : public CControlWnd {
public:
    CCellEdit(int nRow, int nColumn, const std::string& initialText);

    // Creates the edit as a child of the list (id 333) in rc, takes the list's font, the initial text,
    // the focus and selects all of it.
    BOOL Create(HWND hList, const RECT& rc, DWORD alignment);

    // Colours of the editor, handed back by the list from its WM_CTLCOLOREDIT.
    HBRUSH OnCtlColor(HDC hDC);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override { delete this; }

private:
    ~CCellEdit() override = default;
    // Ends the edit by giving the focus back to the list.
    void Finish(bool bCancel);
    void OnKillFocus();
    void WidenToText();

    CBrush m_brush;
    int m_nRow;
    int m_nColumn;
    std::string m_strInitialText;
    bool m_bCancelled;
};
