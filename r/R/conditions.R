# Refusals are errors of class "quorvane_error" carrying the programs' words, without a program's
# name; notes are messages of class "quorvane_note".

refuse <- function(text, call = NULL) {
  stop(structure(class = c("quorvane_error", "error", "condition"),
                 list(message = text, call = call)))
}

note <- function(text) {
  for (line in text) {
    message(structure(class = c("quorvane_note", "message", "condition"),
                      list(message = paste0("note: ", line, "\n"), call = NULL)))
  }
}

# A count with its noun, as the programs write it.
count_of <- function(count, noun) {
  paste0(count, " ", noun, if (count == 1) "" else "s")
}
