// A toolbar whose buttons come from a bitmap strip and a list of command ids (0 = separator).
// Control notifications of child windows (combo boxes placed over separators) are passed on to
// the toolbar's parent, so the frame routes them like any command.
#pragma once

#include "framework/image_list.h"
#include "framework/window.h"

#include <vector>

class ToolBar : public Window {
public:
    bool Create(HWND parent, DWORD style, UINT id);

    // Replaces every button: one per id, separators for 0; the images of the non-separator
    // buttons are the bitmap's `imageSize` squares in order (magenta is transparent).
    bool LoadButtons(HINSTANCE instance, UINT bitmapId, const std::vector<UINT>& ids, SIZE imageSize);
    // Width of the separators LoadButtons makes (8 at 96 DPI); set before loading.
    void SetSeparatorWidth(int width) { separatorWidth_ = width; }
    void SetSizes(SIZE button, SIZE image);

    int GetButtonCount() const { return (int)Send(TB_BUTTONCOUNT); }
    UINT GetItemId(int index) const;
    bool IsSeparator(int index) const;
    // Makes button `index` a separator `width` pixels wide (room for a control placed over it).
    void SetSeparator(int index, int width) const;
    RECT GetItemRect(int index) const;
    // Index of the button at a client point; negative when none.
    int HitTest(POINT pt) const { return (int)Send(TB_HITTEST, 0, (LPARAM)&pt); }
    void EnableButton(UINT id, bool enable) const { Send(TB_ENABLEBUTTON, id, MAKELONG(enable ? TRUE : FALSE, 0)); }
    bool IsButtonEnabled(UINT id) const { return Send(TB_ISBUTTONENABLED, id) != 0; }
    // The toolbar's height for the frame's layout.
    int Height() const;
    void AutoSize() const { Send(TB_AUTOSIZE); }

private:
    ImageList images_;
    int separatorWidth_ = 8;
};
