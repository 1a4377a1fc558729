#pragma once

#include "document/document.h"

#include <QList>
#include <QObject>
#include <QUndoStack>

// The name of one step of the history, kept as its untranslated source so the Edit
// menu follows a change of language made after the step.
class StepText
{
public:
    // source is marked with QT_TRANSLATE_NOOP; number, when not negative, replaces %1.
    StepText(const char *context, const char *source, int number = -1)
        : m_context(context)
        , m_source(source)
        , m_number(number)
    {
    }
    // A text that stays as it is in every language.
    StepText(const QString &fixed) // NOLINT(google-explicit-constructor)
        : m_fixed(fixed)
    {
    }

    QString text() const;

private:
    const char *m_context = nullptr;
    const char *m_source = nullptr;
    int m_number = -1;
    QString m_fixed;
};

// The one door through which the configuration changes. Every edit, every readout and
// every undo or redo replaces currentConfig here, as one step of the undo history;
// `modified` is kept here; and every change is announced, so the views that show the
// configuration redraw on the announcement instead of being rebuilt by each caller.
//
// The document is modified exactly when what Save would write differs from what was
// last saved or opened (after New: from the fresh configuration), or when a gesture
// that marks it without changing it (touch()) came after the last change. However a
// state is reached, by an edit, a readout, undo or redo, the answer is the same.
class DocumentChanges : public QObject
{
    Q_OBJECT

public:
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
    bool apply(const Configuration &after, const StepText &text, Kind kind = Kind::Edit);
    // A readout: `after` replaces the configuration as one step, like apply(). What the
    // switch holds is not what the file holds, so the step also leaves the file: the
    // document is untitled and Save asks for a name. Undo brings the file name back
    // (unless the document was saved under another name meanwhile).
    bool applyReadout(const Configuration &after, const StepText &text);
    // The file the document belongs to; empty when it has none.
    void setFileName(const QString &fileName);
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
    static StepText placeText(const QList<int> &channels);
    static StepText moveText(const QList<int> &channels);
    static StepText removeText(const QList<int> &channels);
    static StepText resizeText(int channel);
    static StepText resolutionText(int channel);
    static StepText mouseSpeedText();
    static StepText switchingText(bool on);

protected:
    // The steps take the new language before the windows rebuild their Undo entries.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // After every change of currentConfig: an applied step, an undo, a redo, New, Open.
    void configurationChanged(DocumentChanges::Kind kind);
    // The file name or the unsaved state may have changed.
    void fileStateChanged();
    // The last readout's step was undone (true) or done again (false).
    void readoutUndoneChanged(bool undone);

private:
    class Step;
    void install(const Configuration &config, Kind kind);
    void updateModified();
    void retranslateSteps();

    Document &m_document;
    QUndoStack m_stack;
    // What the file holds (or New made), in the form Save writes it.
    QByteArray m_saved;
    bool m_touched = false;
    // The step of the last readout while it is in the history.
    const Step *m_lastReadout = nullptr;
};
