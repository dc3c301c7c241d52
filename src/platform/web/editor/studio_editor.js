// The studio's code editor: one view over the nine shader files, each with its own text, undo
// history and selection, GLSL highlighting, line numbers, search, and the compiler's message on the
// line it names. Bundled with its library into the page's editor.js at build time.
import { EditorState } from '@codemirror/state';
import {
  EditorView, keymap, lineNumbers, highlightActiveLine, highlightActiveLineGutter, drawSelection,
} from '@codemirror/view';
import { defaultKeymap, history, historyKeymap, indentWithTab } from '@codemirror/commands';
import {
  StreamLanguage, bracketMatching, defaultHighlightStyle, syntaxHighlighting, indentOnInput,
} from '@codemirror/language';
import { search, searchKeymap, highlightSelectionMatches } from '@codemirror/search';
import { setDiagnostics, lintGutter, forEachDiagnostic } from '@codemirror/lint';
import { shader } from '@codemirror/legacy-modes/mode/clike';

const glsl = StreamLanguage.define(shader);

// parent: the element to fill; changed(name, text): called on every edit of a file.
function createStudioEditor(parent, changed) {
  const states = new Map();
  let current = null;
  const extensions = (name) => [
    lineNumbers(), highlightActiveLineGutter(), history(), drawSelection(), indentOnInput(),
    bracketMatching(), highlightActiveLine(), highlightSelectionMatches(), search({ top: true }),
    lintGutter(), glsl, syntaxHighlighting(defaultHighlightStyle, { fallback: true }),
    keymap.of([...defaultKeymap, ...historyKeymap, ...searchKeymap, indentWithTab]),
    EditorView.updateListener.of((update) => {
      if (update.docChanged) changed(name, update.state.doc.toString());
    }),
  ];
  const view = new EditorView({ parent });
  return {
    view,
    // A file's text as given, its history started anew (a file loaded or reverted).
    load(name, text) {
      const state = EditorState.create({ doc: text, extensions: extensions(name) });
      states.set(name, state);
      if (name === current) view.setState(state);
    },
    show(name) {
      if (current !== null) states.set(current, view.state);
      current = name;
      view.setState(states.get(name));
    },
    shown() { return current; },
    text(name) {
      return (name === current ? view.state : states.get(name)).doc.toString();
    },
    // The compiler's message on its line (1-based; 0: the file's first), or no message: none.
    mark(name, line, message) {
      const state = name === current ? view.state : states.get(name);
      const diagnostics = [];
      if (message) {
        const at = state.doc.line(Math.min(Math.max(line, 1), state.doc.lines));
        diagnostics.push({ from: at.from, to: at.to, severity: 'error', message });
      }
      const marking = setDiagnostics(state, diagnostics);
      if (name === current) view.dispatch(marking);
      else states.set(name, state.update(marking).state);
    },
    // The marks a file holds: [line, message] each.
    marks(name) {
      const state = name === current ? view.state : states.get(name);
      const found = [];
      forEachDiagnostic(state, (d, from) => found.push([state.doc.lineAt(from).number, d.message]));
      return found;
    },
    focus() { view.focus(); },
  };
}

window.createStudioEditor = createStudioEditor;
