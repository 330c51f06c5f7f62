// "Save Snapshot.." and "Print..": the two commands that take the view out
// of the program, as a 24-bit BMP file or as one printed page (a printer or
// a PDF file). Both pause timer 1 for their whole run, capture the view
// before any dialog opens, and start the timer again on every path.
#pragma once

#include "app/program.h"
#include "view/image.h"

class QPrinter;
class QTimer;

namespace valdrin {

// The printout's document name, as print queues and PDF viewers show it.
inline constexpr const char* kPrintDocName = "Valdrin1.0c printout";

// Menu 7: capture, ".bmp" save chooser, write; "Save complete" on success,
// "Can't save snapshot file!!" when the file can't be written, nothing when
// the chooser is cancelled.
void snapshot_command(Program& program, QTimer& timer);

// Menu 8: capture, print dialog, one page; "Print spooled" on success,
// nothing when the dialog is cancelled.
void print_command(Program& program, QTimer& timer);

// Draws the view with its context current and reads it back. Return 1 with
// a capture the caller releases; 0 after saying why in an "Error" box (the
// view has no area, or it has no context yet), and then nothing is held.
int capture_program_view(Program& program, Image& capture);

// Paints one page on `printer`: white, with `capture` resampled to its
// texture size and stretched over the centred rectangle that keeps its
// aspect ratio. Return 1 when the page was painted and the job ended; 0
// when the painter could not begin on the printer or the job failed (said
// in an "Error" box owned by the main window), and nothing claims success.
int print_image(QPrinter& printer, const Image& capture);

}  // namespace valdrin
