#pragma once

// What a window's close handler may decide: caNone keeps the window open.
enum TCloseAction { caNone, caHide, caFree, caMinimize };
