#pragma once

#include <QApplication>
#include <QList>
#include <QMessageBox>

// The message boxes of that object name the operator sees now.
inline QList<QMessageBox*> VisibleBoxes(const QString& objectName) {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible() && box->objectName() == objectName)
            boxes << box;
    return boxes;
}
