#include "document/documentchanges.h"
#include "document/ovsfile.h"

#include <QRandomGenerator>
#include <QTest>

class tst_DocumentChanges : public QObject
{
    Q_OBJECT

private slots:
    void modifiedFollowsTheSavedState();
};

// Random walks through edits, readouts, undo, redo, save, open and clicks that change
// nothing: after every step the document is unsaved exactly when what Save would write
// differs from the file, or a click marked it since the last change. Few distinct
// values, so that walks come back to the saved state by many roads.
void tst_DocumentChanges::modifiedFollowsTheSavedState()
{
    QRandomGenerator rng(20261208);
    const auto variant = [&rng](Configuration c) {
        switch (rng.bounded(3)) {
        case 0:
            c.mouseSpeed = quint8(1 + rng.bounded(3));
            break;
        case 1:
            c.switchingEnabled = quint8(rng.bounded(2));
            break;
        default:
            c.channels[0] = ChannelEntry{1, 0, quint8(rng.bounded(2)), 2, 2, 800, 600};
            break;
        }
        return c;
    };
    for (int walk = 0; walk < 50; ++walk) {
        Document doc;
        DocumentChanges changes(doc);
        QUndoStack &stack = changes.undoStack();
        QByteArray saved = encodeOvs(doc.currentConfig);
        bool touched = false;
        QStringList trail;
        for (int step = 0; step < 60; ++step) {
            switch (rng.bounded(7)) {
            case 0:
                trail << "edit";
                if (changes.apply(variant(doc.currentConfig), QStringLiteral("edit")))
                    touched = false;
                break;
            case 1:
                trail << "readout";
                if (changes.apply(variant(variant(doc.currentConfig)), QStringLiteral("readout"),
                                  DocumentChanges::Kind::Replacement))
                    touched = false;
                break;
            case 2:
                trail << "undo";
                touched = touched && !stack.canUndo();
                stack.undo();
                break;
            case 3:
                trail << "redo";
                touched = touched && !stack.canRedo();
                stack.redo();
                break;
            case 4:
                trail << "save";
                changes.markSaved();
                saved = encodeOvs(doc.currentConfig);
                touched = false;
                break;
            case 5: {
                trail << "open";
                const Configuration opened = variant(doc.currentConfig);
                changes.replaceAll(opened);
                saved = encodeOvs(opened);
                touched = false;
                break;
            }
            default:
                trail << "click";
                changes.touch();
                touched = true;
                break;
            }
            const bool differs = encodeOvs(doc.currentConfig) != saved;
            QVERIFY2(doc.modified == (differs || touched), qPrintable(trail.join(' ')));
        }
    }
}

QTEST_MAIN(tst_DocumentChanges)
#include "tst_documentchanges.moc"
