# Brevix start-up script. Brevix runs this file once when it starts; a copy
# named Brevixo.tcl in your configuration folder (~/.config/brevix) is run
# instead of this one. Define procedures here that your texts and scripts use.

proc bx_today {} {
    return [clock format [clock seconds] -format "%Y-%m-%d"]
}
