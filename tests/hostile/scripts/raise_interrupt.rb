puts "before"
raise Interrupt
