puts "before"
puts $stdin.read.inspect
