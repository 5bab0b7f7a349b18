#include "audio/record_handlers.h"

#include "app/main_window.h"
#include "app/text_resources.h"
#include "audio/wav_recorder.h"
#include "res/resource_ids.h"

// The caption becomes "Stop" even when the file could not be created; the
// next click then tries again, since recording stays clear.
LRESULT onRecordStart()
{
    if (WavRecorder::open(WavRecorder::path, WavRecorder::format) == 0) {
        WavRecorder::recording = true;
    }
    SetWindowTextA(MainWindow::recordButton, "Stop");
    return 0;
}

LRESULT onRecordStop()
{
    WavRecorder::close();
    WavRecorder::recording = false;
    SetWindowTextA(MainWindow::recordButton, loadText(STRING_RECORD_BUTTON));
    return 0;
}
