// Printing the motor table and the used-pins list of the Show params sheet.
#pragma once

#include <windows.h>

#include <vector>

#include "app/portable/text_triple.h"
#include "pins/portable/show_params.h"

// Prints the motor table (button IDC_PARAMS_PRINT_MOTORS) or the used-pins
// list of `page` (any other id). 1 after printing, 0 when the print dialog
// was cancelled or the printer refused the job.
int PrintPinTables(HWND page, int buttonId);

// The headings the used-pins list shares with its printout.
extern const TextTriple ColumnPinName;
extern const TextTriple ColumnPortNumber;
extern const TextTriple ColumnPinNumber;

// The motor values the table prints; the motor page keeps them current.
extern MotorPrintValues PrintedMotorValues;

// Positions on the printed page, in logical units of a page 600 wide.
struct PrintLayout {
  int lineHeight;   // L
  int pageLines;    // N: the footer sits at (N + 3)L + 5
  int rowsPerPage;  // list rows that fit between headings and footer
};

// The layout for a page `pageHeight` logical units high with lines `lineHeight` high.
PrintLayout PrintLayoutFor(int pageHeight, int lineHeight);

inline constexpr int PrintPageWidth = 600;

// The x of each column of the used-pins printout: the on-screen widths
// scaled so that the columns together span from `left` to `right`.
std::vector<int> PrintColumnPositions(const std::vector<int>& screenWidths, int left, int right);
