#pragma once

class QListWidget;

// The tools window's sections as a column of large icons with their captions beneath.
void showSectionIcons(QListWidget* sections);
