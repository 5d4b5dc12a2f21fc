puts "before"
puts $stdin.send(:gets).inspect
puts $stdin.send(:getc).inspect
