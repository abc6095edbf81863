// What the window manager is told about a small dialog. Internal to the window layer.
#pragma once

#include <SDL.h>

// Creates a hidden top-level window, as SDL_CreateWindow does, that the window manager treats
// as a fixed-size dialog: of the dialog type, kept above its owner (null: none), offering only
// to be moved and closed (no minimise, maximise or resize), its least and greatest size its own.
// Off X11 it is a plain SDL window.
SDL_Window* CreateFixedDialogWindow(const char* title, int x, int y, int w, int h, Uint32 flags,
                                    SDL_Window* owner);
