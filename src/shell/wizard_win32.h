// The two-page wizard: the welcome page 101 and the finish page 102, whose
// Finish runs the install.
#pragma once

#include <windows.h>
#include <prsht.h>

// Runs the wizard modally, owned by parent; returns when it has closed.
void RunWizard(HWND parent);

// Fills one page description for the template with the given numeric id.
void InitPage(PROPSHEETPAGEA_V1* page, int templateId, const char* title, DLGPROC dialogProc);

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
