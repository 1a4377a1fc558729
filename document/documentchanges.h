#pragma once

#include "document/document.h"

#include <QList>
#include <QObject>
#include <QUndoStack>

// The one door through which the configuration changes. Every edit, every readout and
// every undo or redo replaces currentConfig here, as one step of the undo history;
// `modified` is kept here; and every change is announced, so the views that show the
// configuration redraw on the announcement instead of being rebuilt by each caller.
class DocumentChanges : public QObject
{
    Q_OBJECT

public:
    // Whether a step makes the document unsaved. A readout does not: the configuration
    // then matches the switch it came from.
    enum class Effect { MarksModified, KeepsModified };
    // An edit changes parts of the configuration; a replacement (New, Open, readout)
    // swaps the whole of it, and views start afresh.
    enum class Kind { Edit, Replacement };

    explicit DocumentChanges(Document &document, QObject *parent = nullptr);
    ~DocumentChanges() override;

    Document &document() { return m_document; }
    const Configuration &configuration() const { return m_document.currentConfig; }
    QUndoStack &undoStack() { return m_stack; }

    // Makes `after` the configuration as one undoable step named `text`. A step that
    // would change nothing is not recorded; false then.
    bool apply(const Configuration &after, const QString &text, Kind kind = Kind::Edit,
               Effect effect = Effect::MarksModified);
    // New and Open: the configuration starts afresh, without history and unmodified.
    void replaceAll(const Configuration &config);
    // The document was written: this state is the saved one.
    void markSaved();
    // Some gestures mark the document unsaved without changing it (a click on a tile).
    void touch();
    // Announces the configuration again as a whole, so that views start afresh from it.
    void refresh();

    // Texts of the steps, as an operator reads them in the Edit menu. Channels are
    // indices 0..7; the texts name channel numbers.
    static QString placeText(const QList<int> &channels);
    static QString moveText(const QList<int> &channels);
    static QString removeText(const QList<int> &channels);
    static QString resizeText(int channel);
    static QString resolutionText(int channel);
    static QString mouseSpeedText();
    static QString switchingText(bool on);

signals:
    // After every change of currentConfig: an applied step, an undo, a redo, New, Open.
    void configurationChanged(DocumentChanges::Kind kind);

private:
    class Step;
    void install(const Configuration &config, Kind kind);
    void updateModifiedAfterNavigation();

    Document &m_document;
    QUndoStack m_stack;
    bool m_pushing = false;
};
