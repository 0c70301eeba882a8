# The typing target of the end-to-end tests: one Tk text widget with the
# focus. Its content is written (UTF-8, without the widget's final newline)
# to the file named by argv 0 whenever it changes; a file "<out>.cmd" with
# the word "clear" empties it. "<out>.pastes" counts the pastes into it.
# With "immediate" as argv 1 the file is written on every change, for
# benchmarks that time the widget.
package require Tk

set out [lindex $argv 0]
set immediate [expr {[lindex $argv 1] eq "immediate"}]
set pending 0

proc save {} {
    global out pending
    set pending 0
    set tmp $out.tmp
    set f [open $tmp w]
    fconfigure $f -encoding utf-8 -translation lf
    puts -nonewline $f [.t get 1.0 {end - 1 chars}]
    close $f
    file rename -force $tmp $out
}

proc changed {} {
    global pending immediate
    # Clearing the flag fires the event again.
    if {![.t edit modified]} return
    .t edit modified 0
    if {$immediate} {
        save
        return
    }
    # Written at most every 20 ms (also while keys keep coming), not per key.
    if {!$pending} {
        set pending 1
        after 20 save
    }
}

proc poll {} {
    global out
    if {[file exists $out.cmd]} {
        set f [open $out.cmd r]
        set cmd [string trim [read $f]]
        close $f
        # A writer creates the file before it writes the word: an empty
        # file is read again on the next poll rather than taken as done.
        if {$cmd eq ""} {
            after 20 poll
            return
        }
        file delete $out.cmd
        if {$cmd eq "clear"} {
            .t delete 1.0 end
            save
        }
    }
    after 20 poll
}

wm title . "Brevix e2e target"
wm geometry . 640x400+40+40
text .t -undo 0 -wrap char
pack .t -fill both -expand 1
bind .t <<Modified>> changed
# Tells a pasted text from a typed one.
set pastes 0
proc pasted {} {
    global out pastes
    incr pastes
    set f [open $out.pastes.tmp w]
    puts -nonewline $f $pastes
    close $f
    file rename -force $out.pastes.tmp $out.pastes
}
bind .t <<Paste>> {+pasted}
update
focus -force .t
save
set f [open $out.ready w]
puts $f [wm frame .]
close $f
poll
