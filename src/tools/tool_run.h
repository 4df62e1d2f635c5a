#pragma once

class QPlainTextEdit;
class QPushButton;

// A tool page's run and cancel buttons and its output box: fixed-pitch text without word
// wrap that the user can select and copy but not type into. The tool's engine drives the
// buttons (and the list's double-click): until one is attached to them both stay disabled,
// so that a button never looks as if it did something it does not.
void prepareToolRun(QPushButton* run, QPushButton* cancel, QPlainTextEdit* output);
