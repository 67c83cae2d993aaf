;;; Emacs with eglot drives kalvane-lsp in batch mode on a file whose
;;; bodies are out of order: it waits for the diagnostic, reads the outline,
;;; applies the quick fix and a move through eglot's own edit machinery and
;;; formats, saving the buffer each time; the saved bytes must be the
;;; expected files kalvane's document gives.
;;; Run as: emacs --batch -l emacs_test.el
(require 'eglot)
(require 'imenu)

(define-derived-mode ostrel-mode prog-mode "Ostrel")
(add-to-list 'eglot-server-programs
             `(ostrel-mode . (,(getenv "KALVANE_LSP"))))

(defvar data (file-name-as-directory (getenv "KALVANE_DATA")))
(defvar work (file-name-as-directory (make-temp-file "kalvane-eglot" t)))
(defvar failures 0)
;; The folder is its own project, without version control.
(add-hook 'project-find-functions (lambda (_) (cons 'transient work)))

(defun check (ok what)
  (unless ok
    (setq failures (1+ failures))
    (message "FAILED: %s" what)))

(defun wait-for (what condition)
  "Lets Emacs run until CONDITION holds; a minute without it is a failure."
  (let ((deadline (+ (float-time) 60)))
    (while (and (not (funcall condition)) (< (float-time) deadline))
      (accept-process-output nil 0.05))
    (check (funcall condition) what)))

(defun bytes-of (file)
  (with-temp-buffer
    (set-buffer-multibyte nil)
    (insert-file-contents-literally file)
    (buffer-string)))

(defun saved-as (expected what)
  (save-buffer)
  (check (equal (bytes-of buffer-file-name) (bytes-of (concat data expected)))
         what))

(defun apply-action (title)
  (let ((action (seq-find (lambda (a) (equal (plist-get a :title) title))
                          (eglot-code-actions (point)))))
    (check action (format "%s offered" title))
    (when action (eglot--apply-workspace-edit (plist-get action :edit)))))

(defun run ()
  (copy-file (concat data "shuffled.ost") (concat work "shuffled.ost") t)
  (find-file (concat work "shuffled.ost"))
  (ostrel-mode)
  (apply #'eglot (eglot--guess-contact))
  (wait-for "the diagnostic" (lambda () (flymake-diagnostics)))
  ;; eglot groups the outline by kind: here one group, of functions.
  (let ((names (mapcar #'car (cdr (assoc "Function"
                                         (funcall imenu-create-index-function))))))
    (check (equal names '("Alpha" "Beta" "Gamma"))
           (format "outline in list order: %S" names)))
  (goto-char (point-min))
  (apply-action "Arrange Bodies in Declaration Order")
  (saved-as "ordered.ost" "the quick fix arranges")
  (wait-for "the diagnostic cleared" (lambda () (null (flymake-diagnostics))))
  (goto-char (point-min))
  (search-forward "DECLARE FUNCTION Alpha")
  (apply-action "Move Function Down")
  (saved-as "ordered_alpha_down.ost" "Alpha moves down")
  (erase-buffer)
  (insert-file-contents (concat data "shuffled.ost"))
  (eglot-format-buffer)
  (saved-as "ordered.ost" "formatting arranges"))

(condition-case err (run)
  (error (check nil (format "%S" err))))
(message "%d failed" failures)
(ignore-errors (delete-directory work t))
(kill-emacs (if (zerop failures) 0 1))
